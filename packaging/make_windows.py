#!/usr/bin/env python3
"""Builds the Windows packages of one architecture: a zip and an NSIS
installer, each holding the program, tolm.dll, linkora.exe and the README as
text. Binaries are stripped, their debug information kept in a folder beside
the packages."""

import argparse
import subprocess
import zipfile
from pathlib import Path

from binaries import fresh_folder, ship_stripped, write_text

PROGRAM = "Brannic Linkora CFG.exe"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--version", "--objcopy", "--program", "--library", "--linkora",
                   "--readme", "--installer-script", "--work", "--out"):
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
    # Notepad of older Windows shows LF-only text as one line.
    write_text(stage / "README.txt", Path(options.readme).read_text(), newline="\r\n")

    archive = out / f"{base}.zip"
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as packed:
        for path in sorted(stage.iterdir()):
            packed.write(path, f"{base}/{path.name}")
    print(f"make_windows: {archive}")

    installer = out / f"{base}-setup.exe"
    subprocess.run(["makensis", "-V2", "-WX", f"-DVERSION={options.version}",
                    f"-DARCHITECTURE={options.architecture}", f"-DSTAGE={stage}",
                    f"-DOUTFILE={installer}", options.installer_script], check=True)
    print(f"make_windows: {installer}")


if __name__ == "__main__":
    main()
