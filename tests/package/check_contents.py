#!/usr/bin/env python3
"""Checks the packages in build/packages against what they must hold: each
file by name (and mode, in the .deb), binaries stripped and pointing at the
debug information kept beside the package, the .deb's control fields and
soname, the Windows binaries' machine, exports and version resources, and
no lab guard in the programs that ship. Exit status 0 when all holds; every
failure is listed."""

import argparse
import io
import re
import subprocess
import sys
import tarfile
import tempfile
import zipfile
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expectations import expect, report  # noqa: E402

# What the development builds print when they refuse to send outside the lab.
GUARD_TEXT = b"refusing to run outside the lab network"
PROGRAM = "Brannic Linkora CFG.exe"
# Binary tools by the format they read: ELF with the host's, PE with mingw's.
TOOLS = {"elf": "", "win32": "i686-w64-mingw32-", "win64": "x86_64-w64-mingw32-"}
PE_MACHINES = {"win32": 0x14C, "win64": 0x8664}
# The user's guide as a web page with its pictures, in the Windows packages' guide folder.
GUIDE = ["guide/user-guide.html", "guide/brannic-linkora-cfg.png", "guide/configuration-dialog.png",
         "guide/program-host-name-question.png", "guide/program-two-senders-warning.png",
         "guide/program-no-confirmation.png"]
# The JSON Schemas of linkora's documents stand beside the guide.
SCHEMAS = [f"guide/{path.name}" for path in
           sorted((Path(__file__).resolve().parents[2] / "docs/schemas").glob("*.schema.json"))]
# Where README.txt tells Windows users linkora.exe is once installed.
INSTALLED_LINKORA = {"win32": r"C:\Program Files (x86)\Brannic Linkora CFG\linkora.exe",
                     "win64": r"C:\Program Files\Brannic Linkora CFG\linkora.exe"}

def run(*command):
    done = subprocess.run(command, capture_output=True, text=True)
    return done.stdout + done.stderr


def debug_link(tool_prefix, binary):
    """The file name and CRC that binary's .gnu_debuglink holds."""
    dump = run(f"{tool_prefix}objdump", "-s", "-j", ".gnu_debuglink", str(binary))
    data = b""
    for line in dump.splitlines():
        # " ADDRESS" then four groups of up to eight hex digits in 35 columns.
        address = re.match(r"^ [0-9a-f]+ ", line)
        if address:
            data += bytes.fromhex(line[address.end():address.end() + 35].replace(" ", ""))
    if len(data) < 8:
        return None, None
    return data.split(b"\0", 1)[0].decode(), int.from_bytes(data[-4:], "little")


def check_stripped(tool_prefix, binary, debug_folder):
    """No symbols or debug sections left in binary; its debug information
    in debug_folder, the very file its debug link names."""
    name = f"{debug_folder.name}: {binary.name}"
    sections = run(f"{tool_prefix}objdump", "-h", str(binary))
    expect(".debug_info" not in sections, f"{name} keeps debug information")
    expect("no symbols" in run(f"{tool_prefix}nm", str(binary)), f"{name} keeps its symbols")
    link, crc = debug_link(tool_prefix, binary)
    debug_file = debug_folder / f"{binary.name}.debug"
    if not expect(link == debug_file.name, f"{name} links to debug file {link!r}"):
        return
    if not expect(debug_file.is_file(), f"no {debug_file}"):
        return
    expect(zlib.crc32(debug_file.read_bytes()) == crc, f"{debug_file} is not {name}'s")
    expect(".debug_info" in run(f"{tool_prefix}objdump", "-h", str(debug_file)),
           f"{debug_file} holds no debug information")


def check_guide(folder):
    """The page shows its pictures from beside it, names its chapters, and
    asks the network for nothing."""
    page = (folder / "user-guide.html").read_text(encoding="utf-8")
    for picture in re.findall(r'<img src="([^"]+)"', page):
        expect((folder / picture).is_file(), f"the guide shows {picture}, which is not beside it")
    for chapter in ("The firewall", "Troubleshooting", "linkora"):
        expect(f">{chapter}</h2>" in page, f"the guide has no chapter {chapter!r}")
    expect(not re.search(r'(src|href)="(https?:)?//', page), "the guide loads from the network")


def deb_members(deb):
    tar = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(deb)], check=True,
                         capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(tar)) as archive:
        return {m.name.lstrip("."): m for m in archive.getmembers() if not m.isdir()}


def check_deb_fields(deb, package, options, architecture):
    fields = {key: run("dpkg-deb", "--field", str(deb), key).strip()
              for key in ("Package", "Version", "Architecture", "Depends")}
    expect(fields["Package"] == package and fields["Version"] == options.version and
           fields["Architecture"] == architecture, f"control fields {fields}")
    # Read from the binaries: the C and C++ runtimes they link.
    for runtime in ("libc6", "libstdc++6"):
        expect(re.search(rf"\b{re.escape(runtime)} \(>= ", fields["Depends"]) is not None,
               f"{package}: Depends lacks {runtime}: {fields['Depends']}")


def check_deb_members(deb, wanted):
    """Every file of the package by name, each with its mode or link target."""
    members = deb_members(deb)
    expect(sorted(members) == sorted(wanted),
           f"{deb.name} holds {sorted(set(members) ^ set(wanted))} unlike the list")
    for name, member in members.items():
        want = wanted.get(name)
        if isinstance(want, str):
            expect(member.issym() and member.linkname == want, f"{name} links to {member.linkname}")
        elif want is not None:
            expect(member.isfile() and member.mode == want, f"{name} has mode {member.mode:o}")


def check_deb(options, packages):
    architecture = run("dpkg", "--print-architecture").strip()
    multiarch = run("dpkg-architecture", "-qDEB_HOST_MULTIARCH").strip()
    base = f"linkora_{options.version}_{architecture}"
    sim_base = f"linkora-sim_{options.version}_{architecture}"
    deb, sim_deb = packages / f"{base}.deb", packages / f"{sim_base}.deb"
    if not expect(deb.is_file() and sim_deb.is_file(), f"no {deb} or no {sim_deb}"):
        return
    check_deb_fields(deb, "linkora", options, architecture)
    check_deb_fields(sim_deb, "linkora-sim", options, architecture)

    library_version = ".".join(options.library_version.split(".")[:3])
    major = library_version.split(".")[0]
    lib = f"/usr/lib/{multiarch}"
    doc = "/usr/share/doc/linkora"
    check_deb_members(deb, {
        "/usr/bin/linkora": 0o755,
        f"{lib}/libtolm.so.{library_version}": 0o644,
        f"{lib}/libtolm.so.{major}": f"libtolm.so.{library_version}",
        f"{lib}/libtolm.so": f"libtolm.so.{major}",
        "/usr/include/tolm.h": 0o644, "/usr/include/tolm_ext.h": 0o644,
        "/usr/share/man/man1/linkora.1.gz": 0o644,
        "/usr/share/bash-completion/completions/linkora": 0o644,
        "/usr/share/zsh/vendor-completions/_linkora": 0o644,
        f"{doc}/copyright": 0o644, f"{doc}/changelog.gz": 0o644,
        **{f"{doc}/{Path(name).name}": 0o644 for name in GUIDE + SCHEMAS},
    })
    # The simulator only in a package of its own: a production installation carries none.
    sim_doc = "/usr/share/doc/linkora-sim"
    check_deb_members(sim_deb, {
        "/usr/bin/tolm-sim": 0o755, "/usr/share/man/man1/tolm-sim.1.gz": 0o644,
        f"{sim_doc}/copyright": 0o644, f"{sim_doc}/changelog.gz": 0o644,
    })

    with tempfile.TemporaryDirectory() as scratch:
        root = Path(scratch)
        for package in (deb, sim_deb):
            subprocess.run(["dpkg-deb", "--extract", str(package), scratch], check=True)
        library = root / lib.lstrip("/") / f"libtolm.so.{library_version}"
        expect(f"Library soname: [libtolm.so.{major}]" in run("readelf", "-d", str(library)),
               f"{library.name} lacks the soname libtolm.so.{major}")
        for binary in (library, root / "usr/bin/linkora"):
            check_stripped(TOOLS["elf"], binary, packages / f"{base}.debug")
        check_stripped(TOOLS["elf"], root / "usr/bin/tolm-sim", packages / f"{sim_base}.debug")
        expect(GUARD_TEXT not in (root / "usr/bin/linkora").read_bytes(),
               "linkora is built with the lab guard on")
        # A simulated module must never answer on a real network.
        expect(GUARD_TEXT in (root / "usr/bin/tolm-sim").read_bytes(),
               "tolm-sim is built without its lab guard")
        check_guide(root / doc.lstrip("/"))


def check_windows(options, packages, architecture):
    base = f"linkora-cfg-{options.version}-{architecture}"
    archive = packages / f"{base}.zip"
    expect((packages / f"{base}-setup.exe").is_file(), f"no {base}-setup.exe")
    if not expect(archive.is_file(), f"no {archive}"):
        return
    names = [PROGRAM, "README.txt", "linkora.exe", "linkora-completion.ps1", "tolm.dll", *GUIDE,
             *SCHEMAS]
    with zipfile.ZipFile(archive) as packed, tempfile.TemporaryDirectory() as scratch:
        expect(sorted(packed.namelist()) == sorted(f"{base}/{name}" for name in names),
               f"{archive.name} holds {packed.namelist()}")
        packed.extractall(scratch)
        folder = Path(scratch) / base
        readme = (folder / "README.txt").read_bytes()
        expect(b"\n" not in readme.replace(b"\r\n", b""), "README.txt has lines not ended by CR LF")
        linkora = INSTALLED_LINKORA[architecture].encode()
        expect(options.version.encode() in readme and linkora in readme,
               f"README.txt names no version {options.version} or no {linkora!r}")
        check_guide(folder / "guide")
        prefix = TOOLS[architecture]
        for name in (PROGRAM, "linkora.exe", "tolm.dll"):
            binary = folder / name
            if not expect(binary.is_file(), f"{archive.name} lacks {name}"):
                continue
            data = binary.read_bytes()
            header = int.from_bytes(data[0x3C:0x40], "little")
            machine = int.from_bytes(data[header + 4:header + 6], "little")
            expect(machine == PE_MACHINES[architecture], f"{name} is for machine {machine:#x}")
            check_stripped(prefix, binary, packages / f"{base}.debug")
            if name != "tolm.dll":
                expect(GUARD_TEXT not in data, f"{architecture} {name} has the lab guard on")
        machine = {"win32": "i386", "win64": "x86-64"}[architecture]
        checks = [[Path(options.source, "tests/windows/check_dll.py"), folder / "tolm.dll",
                   "--objdump", f"{prefix}objdump"],
                  [Path(options.source, "tests/gui/check_program_resources.py"),
                   folder / PROGRAM]]
        for check in checks:
            done = subprocess.run([sys.executable, "-B", *map(str, check), "--machine", machine],
                                  capture_output=True, text=True)
            expect(done.returncode == 0, f"{architecture}: {done.stdout}{done.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--packages", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--library-version", required=True)
    parser.add_argument("--source", required=True)
    options = parser.parse_args()
    packages = Path(options.packages)
    check_deb(options, packages)
    for architecture in ("win32", "win64"):
        check_windows(options, packages, architecture)
    return report("packages")


if __name__ == "__main__":
    sys.exit(main())
