#!/usr/bin/env python3
"""Builds the Windows packages of one architecture: a zip and an NSIS
installer, each holding the program, tolm.dll, linkora.exe with its PowerShell
completion, a README.txt for Windows users and the user's guide as a web page with its pictures. Binaries
are stripped, their debug information kept in a folder beside the
packages."""

import argparse
import subprocess
import zipfile
from pathlib import Path

from binaries import fresh_folder, ship_stripped, write_text
from guide_html import copy_schemas, write_guide

PROGRAM = "Brannic Linkora CFG.exe"
COMPLETION = "linkora-completion.ps1"
GUIDE_FOLDER = "guide"
# Where the installer puts the files, as README.txt tells it.
INSTALL_FOLDERS = {
    "win32": (r"C:\Program Files (x86)\Brannic Linkora CFG",
              '"C:\\Program Files (x86)\\Brannic Linkora CFG" on 64-bit Windows (this is\n'
              '  the 32-bit build), "C:\\Program Files\\Brannic Linkora CFG" on 32-bit Windows'),
    "win64": (r"C:\Program Files\Brannic Linkora CFG", '"C:\\Program Files\\Brannic Linkora CFG"'),
}
ARCHITECTURE_TEXTS = {"win32": "32-bit (i686): for 32-bit and 64-bit Windows",
                      "win64": "64-bit (x86_64): for 64-bit Windows"}


def readme(template, version, architecture):
    folder, folder_text = INSTALL_FOLDERS[architecture]
    text = Path(template).read_text(encoding="utf-8")
    for key, value in (("VERSION", version), ("ARCHITECTURE_TEXT", ARCHITECTURE_TEXTS[architecture]),
                       ("INSTALL_FOLDER_TEXT", folder_text), ("INSTALL_FOLDER", folder)):
        text = text.replace(f"@{key}@", value)
    return text


def installer_files(names):
    """The NSIS macro that names every installed file once, for installing
    and removing; names are relative to the install folder."""
    lines = ["!macro ForEachFile DO"]
    lines += [f'  !insertmacro ${{DO}} "{name.replace("/", chr(92))}"' for name in names]
    return "\n".join(lines + ["!macroend", ""])


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--version", "--objcopy", "--program", "--library", "--linkora",
                   "--readme", "--guide", "--schemas", "--installer-script", "--completion",
                   "--work", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--architecture", choices=("win32", "win64"), required=True)
    options = parser.parse_args()
    base = f"linkora-cfg-{options.version}-{options.architecture}"
    out = Path(options.out)
    out.mkdir(parents=True, exist_ok=True)
    stage = fresh_folder(Path(options.work) / "stage" / base)
    debug = fresh_folder(out / f"{base}.debug")

    for source, name in ((options.program, PROGRAM), (options.library, "tolm.dll"),
                         (options.linkora, "linkora.exe")):
        ship_stripped(options.objcopy, source, stage / name, debug, ["--strip-all"], 0o755)
    write_text(stage / COMPLETION, Path(options.completion).read_text(encoding="utf-8"),
               newline="\r\n")
    # Notepad of older Windows shows LF-only text as one line.
    write_text(stage / "README.txt", readme(options.readme, options.version, options.architecture),
               newline="\r\n")
    (stage / GUIDE_FOLDER).mkdir()
    guide = [f"{GUIDE_FOLDER}/{name}" for name in write_guide(options.guide, stage / GUIDE_FOLDER)]
    guide += [f"{GUIDE_FOLDER}/{name}" for name in copy_schemas(options.schemas,
                                                                stage / GUIDE_FOLDER)]
    names = [PROGRAM, "tolm.dll", "linkora.exe", COMPLETION, "README.txt", *guide]

    archive = out / f"{base}.zip"
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as packed:
        for name in names:
            packed.write(stage / name, f"{base}/{name}")
    print(f"make_windows: {archive}")

    files = Path(options.work) / "stage" / f"{base}-files.nsh"
    write_text(files, installer_files(names))
    installer = out / f"{base}-setup.exe"
    subprocess.run(["makensis", "-V2", "-WX", f"-DVERSION={options.version}",
                    f"-DARCHITECTURE={options.architecture}", f"-DSTAGE={stage}",
                    f"-DFILES={files}", f"-DGUIDE_FOLDER={GUIDE_FOLDER}",
                    f"-DOUTFILE={installer}", options.installer_script], check=True)
    print(f"make_windows: {installer}")


if __name__ == "__main__":
    main()
