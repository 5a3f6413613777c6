#!/usr/bin/env python3
"""Inside a lab run with --wine: runs the Windows installer silently into a
scratch folder, checks the installed files against the zip of the same
build, the Start-menu entries of the program and the guide, the firewall
rules and the uninstaller's Add/Remove Programs entry, runs the installed
linkora.exe --help and --version, installs again and then uninstalls
silently and checks that all it installed is gone and its firewall rules
deleted. The first installation runs with netsh failing to add the rules:
everything else must be installed all the same, and its exit code must be 3.
Exit status 0 when all holds; every failure is listed.

Wine's netsh accepts firewall commands and does nothing, and Wine has no
firewall: what can be checked is the commands the installer gives netsh,
which a recorder put in netsh's place writes down. That Windows then lets
the modules' answers in is beyond Wine, and so is a real netsh failing."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expectations import expect, report  # noqa: E402

PROGRAM = "Brannic Linkora CFG"
GUIDE_ENTRY = f"{PROGRAM} User's Guide"
# The firewall rules by name, with the program each lets UDP 3250 in for.
RULES = {PROGRAM: f"{PROGRAM}.exe", f"{PROGRAM}: linkora.exe": "linkora.exe"}
NETSH_LOG = r"C:\netsh.log"
# /D= takes the rest of the command line, but Wine quotes an argument with a
# blank, so the scratch folder has none.
FOLDER = r"C:\Scratch\LinkoraCFG"
# A silent installation's exit code when a firewall rule could not be added.
EXIT_FIREWALL_FAILED = 3
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


def files_in(folder):
    """Every file under folder, by its path relative to it."""
    if not folder.is_dir():
        return []
    return sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file())


def netsh_commands(drive):
    """What netsh was told since the last call, one command a line, without
    netsh's own path."""
    log = drive / NETSH_LOG[3:]
    lines = log.read_text().splitlines() if log.is_file() else []
    log.unlink(missing_ok=True)
    return [line.split("netsh.exe", 1)[-1].lstrip('" ') for line in lines]


def check_rules(commands, adding):
    for rule, program in RULES.items():
        delete = f'advfirewall firewall delete rule name="{rule}"'
        expect(delete in commands, f"netsh was not told to delete {rule!r}: {commands}")
        if not adding:
            continue
        # Before the allow rule: an earlier one of the name, and every inbound rule for the
        # program, block rules among them, which would beat it.
        unblock = f'advfirewall firewall delete rule name=all dir=in program="{FOLDER}\\{program}"'
        add = (f'advfirewall firewall add rule name="{rule}" dir=in action=allow '
               f'program="{FOLDER}\\{program}" protocol=UDP localport=3250 profile=any enable=yes')
        expect(add in commands and all(before in commands[:commands.index(add)]
                                       for before in (delete, unblock)),
               f"netsh was not told, after deleting {delete!r} and {unblock!r}, to add {add!r}: "
               f"{commands}")


def check_installed(loader, drive, shortcuts, archive, version):
    folder = drive / FOLDER[3:].replace("\\", "/")
    with zipfile.ZipFile(archive) as packed:
        shipped = {name.split("/", 1)[1]: packed.read(name) for name in packed.namelist()}
    present = files_in(folder)
    expect(present == sorted([*shipped, "uninstall.exe"]), f"installed files {present}")
    for name, data in shipped.items():
        path = folder / name
        expect(path.is_file() and path.read_bytes() == data, f"{name} differs from the zip's")

    for shortcut, file in zip(shortcuts, (f"{PROGRAM}.exe", r"guide\user-guide.html")):
        target = f"{FOLDER}\\{file}"
        link = shortcut.read_bytes() if shortcut.is_file() else b""
        expect(target.encode() in link or target.encode("utf-16-le") in link,
               f"no Start-menu entry {shortcut.name} for {target}")
    check_rules(netsh_commands(drive), adding=True)

    values = registry_values(loader) or {}
    uninstaller = f'"{FOLDER}\\uninstall.exe"'
    wanted = {"DisplayName": PROGRAM, "DisplayVersion": version, "Publisher": "Brannic",
              "InstallLocation": FOLDER, "UninstallString": uninstaller,
              "QuietUninstallString": f"{uninstaller} /S", "DisplayIcon": f"{FOLDER}\\{PROGRAM}.exe"}
    for name, value in wanted.items():
        expect(values.get(name) == value, f"uninstall entry {name} is {values.get(name)!r}")

    shown = wine(loader, f"{FOLDER}\\linkora.exe", "--help")
    expect(shown.returncode == 0 and "Usage: linkora" in shown.stdout,
           f"linkora.exe --help: status {shown.returncode}\n{shown.stdout}{shown.stderr}")
    told = wine(loader, f"{FOLDER}\\linkora.exe", "--version")
    expect(told.stdout.strip() == f"linkora {version}", f"linkora.exe --version: {told.stdout!r}")
    return folder


def install(loader, installer, failing=None):
    """The silent installation's status; netsh's stand-in fails the commands
    that hold the text failing."""
    os.environ["LINKORA_NETSH_FAIL"] = failing or ""
    return wine(loader, installer, "/S", f"/D={FOLDER}").returncode


def check_uninstalled(loader, drive, folder, shortcuts):
    # The uninstaller runs on from a copy of itself in TEMP and returns at once.
    ran = wine(loader, f"{FOLDER}\\uninstall.exe", "/S")
    expect(ran.returncode == 0, f"uninstall.exe /S: status {ran.returncode}")
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if (not folder.exists() and not any(shortcut.exists() for shortcut in shortcuts) and
                registry_values(loader) is None):
            break
        time.sleep(0.5)
    expect(not folder.exists(), f"the uninstaller leaves {folder.name} with {files_in(folder)}")
    for shortcut in shortcuts:
        expect(not shortcut.exists(), f"the uninstaller leaves the Start-menu entry {shortcut.name}")
    expect(registry_values(loader) is None, "the uninstaller leaves its registry entry")
    check_rules(netsh_commands(drive), adding=False)


def put_recorders(drive, recorders):
    """The recorders in place of netsh.exe, for 32-bit (SysWOW64) and 64-bit
    (System32) callers; their file names tell their architecture."""
    for recorder in map(Path, recorders):
        bits = "syswow64" if recorder.parent.name.startswith("i686") else "system32"
        shutil.copyfile(recorder, drive / "windows" / bits / "netsh.exe")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--wine", "--installer", "--zip", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--netsh", nargs=2, required=True,
                        help="the recorders of netsh's command lines, i686 and x86_64")
    options = parser.parse_args()
    # The release programs have no lab guard: only the lab keeps them off the real network.
    if not os.environ.get("TOLM_LAB") or not os.environ.get("WINEPREFIX"):
        sys.exit("check_installer: run it inside lab/lab run --wine")
    # Wine's menu builder would add the entry to the desktop of this machine's user; Wine prefers
    # its own netsh in System32 to the recorder unless told otherwise.
    os.environ["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d;netsh.exe=n"
    drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
    menu = drive / "ProgramData/Microsoft/Windows/Start Menu/Programs"
    shortcuts = [menu / f"{PROGRAM}.lnk", menu / f"{GUIDE_ENTRY}.lnk"]
    put_recorders(drive, options.netsh)
    os.environ["LINKORA_NETSH_LOG"] = NETSH_LOG

    # First with netsh failing to add the rules: all else is installed, and only the exit code
    # can tell a silent installation's caller. Then again, as a rollout would mend it.
    failed = install(options.wine, options.installer, failing="add rule")
    expect(failed == EXIT_FIREWALL_FAILED,
           f"installer /S with the firewall rules failing: status {failed}, not {EXIT_FIREWALL_FAILED}")
    folder = check_installed(options.wine, drive, shortcuts, options.zip, options.version)
    installed = install(options.wine, options.installer)
    if expect(installed == 0, f"installer /S: status {installed}"):
        check_rules(netsh_commands(drive), adding=True)
        check_uninstalled(options.wine, drive, folder, shortcuts)
    return report(Path(options.installer).name)


if __name__ == "__main__":
    sys.exit(main())
