"""What both package scripts do with files: ship a binary stripped with its
debug information kept apart, write texts, and start over in a folder."""

import os
import shutil
import subprocess
from pathlib import Path


def fresh_folder(path):
    """An empty folder at path, whatever was there."""
    path = Path(path)
    if path.is_symlink() or path.is_file():
        path.unlink()
    elif path.exists():
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path


def ship_stripped(objcopy, source, target, debug_folder, strip_options, mode):
    """Copies source to target without debug information or symbols; the
    debug information goes to debug_folder/<name>.debug, which target names
    in its .gnu_debuglink so that a debugger finds it when put beside it."""
    target = Path(target)
    debug_file = Path(debug_folder) / f"{target.name}.debug"
    shutil.copyfile(source, target)
    subprocess.run([objcopy, "--only-keep-debug", str(target), str(debug_file)], check=True)
    subprocess.run([objcopy, *strip_options, str(target)], check=True)
    subprocess.run([objcopy, f"--add-gnu-debuglink={debug_file}", str(target)], check=True)
    os.chmod(target, mode)
    os.chmod(debug_file, 0o644)


def write_text(path, text, newline="\n"):
    with open(path, "w", encoding="utf-8", newline=newline) as file:
        file.write(text)
    os.chmod(path, 0o644)
