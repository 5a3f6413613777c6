#!/usr/bin/env python3
"""Lists every package in a folder with its size and the files it holds,
and the debug information kept beside them."""

import io
import subprocess
import sys
import tarfile
import zipfile
from pathlib import Path


def list_deb(path):
    data = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(path)], check=True,
                          capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(data)) as archive:
        for member in archive.getmembers():
            name = member.name.lstrip(".")
            if member.issym():
                print(f"  {'':>11}  {name} -> {member.linkname}")
            elif member.isfile():
                print(f"  {member.size:>11,}  {name}")


def list_zip(path):
    with zipfile.ZipFile(path) as archive:
        for member in archive.infolist():
            print(f"  {member.file_size:>11,}  {member.filename}")


def main():
    folder = Path(sys.argv[1])
    for path in sorted(folder.iterdir()):
        if path.is_dir():
            print(f"{path.name}/ (debug information, not shipped)")
            for debug in sorted(path.iterdir()):
                print(f"  {debug.stat().st_size:>11,}  {debug.name}")
            continue
        print(f"{path.name}: {path.stat().st_size:,} bytes")
        if path.suffix == ".deb":
            list_deb(path)
        elif path.suffix == ".zip":
            list_zip(path)
        elif path.name.endswith("-setup.exe"):
            zip_name = path.name.replace("-setup.exe", ".zip")
            print(f"  installs the files of {zip_name} (without its folder) and uninstall.exe")


if __name__ == "__main__":
    main()
