#!/usr/bin/env python3
"""Inside a lab run with --wine: runs the Windows installer silently into a
scratch folder, checks the installed files against the zip of the same
build, the Start-menu entry and the uninstaller's Add/Remove Programs entry,
runs the installed linkora.exe --help and --version, then uninstalls
silently and checks that all it installed is gone. Exit status 0 when all
holds; every failure is listed."""

import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expectations import expect, report  # noqa: E402

PROGRAM = "Brannic Linkora CFG"
# /D= takes the rest of the command line, but Wine quotes an argument with a
# blank, so the scratch folder has none.
FOLDER = r"C:\Scratch\LinkoraCFG"
UNINSTALL_KEY = rf"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\{PROGRAM}"

def wine(loader, *arguments):
    """Runs a Windows program; its output goes through files, not pipes,
    since Wine's own background processes inherit and keep them open."""
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        done = subprocess.run([loader, *arguments], stdout=out, stderr=err, text=True,
                              timeout=120)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(done.args, done.returncode, out.read(), err.read())


def registry_values(loader):
    """The uninstall key's values by name, or None without the key; in the
    registry view of the loader's architecture, as the installer wrote it."""
    query = wine(loader, "reg", "query", UNINSTALL_KEY)
    if query.returncode != 0:
        return None
    values = {}
    for line in query.stdout.splitlines():
        parts = line.strip().split("    ")
        if len(parts) == 3:
            values[parts[0]] = parts[2]
    return values


def check_installed(loader, drive, shortcut, archive, version):
    folder = drive / FOLDER[3:].replace("\\", "/")
    with zipfile.ZipFile(archive) as packed:
        shipped = {Path(name).name: packed.read(name) for name in packed.namelist()}
    present = sorted(path.name for path in folder.iterdir()) if folder.is_dir() else []
    expect(present == sorted([*shipped, "uninstall.exe"]), f"installed files {present}")
    for name, data in shipped.items():
        path = folder / name
        expect(path.is_file() and path.read_bytes() == data, f"{name} differs from the zip's")

    target = f"{FOLDER}\\{PROGRAM}.exe"
    link = shortcut.read_bytes() if shortcut.is_file() else b""
    expect(target.encode() in link or target.encode("utf-16-le") in link,
           f"no Start-menu entry {shortcut.name} for {target}")

    values = registry_values(loader) or {}
    uninstaller = f'"{FOLDER}\\uninstall.exe"'
    wanted = {"DisplayName": PROGRAM, "DisplayVersion": version, "Publisher": "Brannic",
              "InstallLocation": FOLDER, "UninstallString": uninstaller,
              "QuietUninstallString": f"{uninstaller} /S", "DisplayIcon": target}
    for name, value in wanted.items():
        expect(values.get(name) == value, f"uninstall entry {name} is {values.get(name)!r}")

    shown = wine(loader, f"{FOLDER}\\linkora.exe", "--help")
    expect(shown.returncode == 0 and "Usage: linkora" in shown.stdout,
           f"linkora.exe --help: status {shown.returncode}\n{shown.stdout}{shown.stderr}")
    told = wine(loader, f"{FOLDER}\\linkora.exe", "--version")
    expect(told.stdout.strip() == f"linkora {version}", f"linkora.exe --version: {told.stdout!r}")
    return folder


def check_uninstalled(loader, folder, shortcut):
    # The uninstaller runs on from a copy of itself in TEMP and returns at once.
    ran = wine(loader, f"{FOLDER}\\uninstall.exe", "/S")
    expect(ran.returncode == 0, f"uninstall.exe /S: status {ran.returncode}")
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if not folder.exists() and not shortcut.exists() and registry_values(loader) is None:
            return
        time.sleep(0.5)
    left = sorted(path.name for path in folder.iterdir()) if folder.exists() else []
    expect(not folder.exists(), f"the uninstaller leaves {folder.name} with {left}")
    expect(not shortcut.exists(), "the uninstaller leaves the Start-menu entry")
    expect(registry_values(loader) is None, "the uninstaller leaves its registry entry")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--wine", "--installer", "--zip", "--version"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()
    # The release programs have no lab guard: only the lab keeps them off the real network.
    if not os.environ.get("TOLM_LAB") or not os.environ.get("WINEPREFIX"):
        sys.exit("check_installer: run it inside lab/lab run --wine")
    # Wine's menu builder would add the entry to the desktop of this machine's user.
    os.environ["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
    drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
    shortcut = drive / "ProgramData/Microsoft/Windows/Start Menu/Programs" / f"{PROGRAM}.lnk"

    installed = wine(options.wine, options.installer, "/S", f"/D={FOLDER}")
    if expect(installed.returncode == 0, f"installer /S: status {installed.returncode}"):
        folder = check_installed(options.wine, drive, shortcut, options.zip, options.version)
        check_uninstalled(options.wine, folder, shortcut)
    return report(Path(options.installer).name)


if __name__ == "__main__":
    sys.exit(main())
