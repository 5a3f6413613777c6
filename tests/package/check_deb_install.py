#!/usr/bin/env python3
"""Inside a lab run: installs both .debs with dpkg into a scratch root, checks
that the loader finds the installed library by the name linkora asks for,
runs the installed linkora's --help and --version (which must neither load
the library nor open a socket), checks that the bash completion offers
exactly the commands and options linkora's help lists, and purges the
packages again, leaving nothing behind. Exit status 0 when all holds; every
failure is listed."""

import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expectations import expect, report  # noqa: E402

def dpkg(root, *arguments):
    return subprocess.run(["dpkg", f"--root={root}", *arguments], capture_output=True, text=True)


def make_root(root):
    """An empty system as dpkg keeps it: its database and nothing else."""
    admin = root / "var/lib/dpkg"
    for folder in ("info", "updates", "triggers"):
        (admin / folder).mkdir(parents=True)
    for name in ("status", "available"):
        (admin / name).touch()


def check_library_lookup(root, help_text):
    """linkora asks the loader for the soname; the package must put a file
    of that soname in a folder the loader searches by default."""
    # --help wraps its lines, so any white space may stand between the words.
    asked = re.search(r"else\s+(libtolm\.so\.\d+)\s+where\s+the\s+system's\s+loader\s+looks",
                      help_text)
    if not expect(asked is not None, "linkora --help names no soname it loads by default"):
        return
    soname = asked.group(1)
    program = subprocess.run(["readelf", "-l", str(root / "usr/bin/linkora")],
                             capture_output=True, text=True).stdout
    loader = re.search(r"Requesting program interpreter: (\S+)\]", program).group(1)
    # "Shared library search path:" then one folder a line.
    search = subprocess.run([loader, "--help"], capture_output=True, text=True).stdout
    folders = re.findall(r"^\s+(/\S+) \(system search path\)$", search, re.M)
    found = [folder for folder in folders if (root / folder.lstrip("/") / soname).is_file()]
    if not expect(found, f"no {soname} in the loader's folders {folders}"):
        return
    library = root / found[0].lstrip("/") / soname
    dynamic = subprocess.run(["readelf", "-d", str(library)], capture_output=True, text=True).stdout
    expect(f"Library soname: [{soname}]" in dynamic, f"{library} has another soname")


def traced(log, *command):
    """Runs command under strace, recording its sockets and opened files."""
    return subprocess.run(["strace", "-f", "-qq", "-o", str(log), "-e", "trace=socket,open,openat",
                           *command], capture_output=True, text=True, timeout=30)


def check_no_library_no_socket(log, what):
    calls = log.read_text()
    expect("socket(" not in calls, f"{what} opens a socket")
    expect("libtolm" not in calls, f"{what} loads the library")


def completion(script, *words):
    """What the completion script offers after linkora and words, the last
    of which is being completed."""
    code = ('source "$1"; shift; COMP_WORDS=(linkora "$@"); COMP_CWORD=$#; _linkora; '
            'printf "%s\\n" "${COMPREPLY[@]}"')
    done = subprocess.run(["bash", "-c", code, "bash", str(script), *words], capture_output=True,
                          text=True)
    return set(done.stdout.split())


def listed_options(help_text):
    """The options a --help lists: every name of each option line."""
    names = re.findall(r"^\s+((?:-{1,2}[\w-]+,)*-{1,2}[\w-]+)", help_text, re.M)
    return {name for group in names for name in group.split(",")}


def check_completion(root, linkora):
    script = root / "usr/share/bash-completion/completions/linkora"
    top = subprocess.run([linkora, "--help"], capture_output=True, text=True).stdout
    listing = top.split("Subcommands:", 1)[-1].split("\n\n", 1)[0]
    commands = set(re.findall(r"^  (\w+) {2,}", listing, re.M))
    expect(bool(commands), "linkora --help lists no command")
    offered = completion(script, "")
    wanted = commands | listed_options(top.split("Subcommands:", 1)[0])
    expect(offered == wanted, f"the completion offers {sorted(offered ^ wanted)} unlike --help")
    for command in sorted(commands):
        shown = subprocess.run([linkora, command, "--help"], capture_output=True, text=True).stdout
        offered = completion(script, command, "-")
        wanted = listed_options(shown)
        expect(offered == wanted,
               f"the completion of {command} differs from its --help in {sorted(offered ^ wanted)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--deb", required=True)
    parser.add_argument("--sim-deb", required=True)
    parser.add_argument("--version", required=True)
    options = parser.parse_args()
    # The release linkora has no lab guard: only the lab keeps it off the real network.
    if not os.environ.get("TOLM_LAB"):
        sys.exit("check_deb_install: run it inside lab/lab run")

    with tempfile.TemporaryDirectory() as scratch:
        root = Path(scratch)
        make_root(root)
        # The scratch root's database knows no libc; the host provides it.
        installed = dpkg(root, "--force-depends", "--install", options.deb, options.sim_deb)
        if not expect(installed.returncode == 0, f"dpkg --install: {installed.stderr}"):
            return report("deb install")
        for package in ("linkora", "linkora-sim"):
            status = dpkg(root, "--status", package).stdout
            expect("Status: install ok installed" in status, f"{package} is not installed:\n{status}")

        linkora = root / "usr/bin/linkora"
        log = root / "strace.log"
        shown = traced(log, linkora, "--help")
        expect(shown.returncode == 0 and "Usage: linkora" in shown.stdout,
               f"linkora --help: status {shown.returncode}\n{shown.stdout}{shown.stderr}")
        check_no_library_no_socket(log, "linkora --help")
        check_library_lookup(root, shown.stdout)
        version = traced(log, linkora, "--version")
        expect(version.stdout == f"linkora {options.version}\n",
               f"linkora --version says {version.stdout!r}")
        check_no_library_no_socket(log, "linkora --version")
        log.unlink()
        check_completion(root, linkora)

        purged = dpkg(root, "--purge", "linkora", "linkora-sim")
        expect(purged.returncode == 0, f"dpkg --purge: {purged.stderr}")
        left = [str(path.relative_to(root)) for path in root.rglob("*")
                if "var" not in path.relative_to(root).parts[:1]]
        expect(not left, f"the purge leaves {left}")
    return report("deb install")


if __name__ == "__main__":
    sys.exit(main())
