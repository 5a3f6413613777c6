#!/usr/bin/env python3
"""Builds the Linux packages: linkora (libtolm under its soname with the C
headers, linkora with its manual page and bash and zsh completions, the user's guide
as a web page) and linkora-sim (tolm-sim with its manual page), so that a
production installation carries no simulator. Binaries are stripped, their
debug information kept in a folder beside each package; Depends is read from
the binaries by dpkg-shlibdeps; lintian must find no error."""

import argparse
import email.utils
import gzip
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

from binaries import fresh_folder, ship_stripped, write_text
from guide_html import copy_schemas, write_guide

PACKAGE = "linkora"
SIMULATOR_PACKAGE = "linkora-sim"
MAINTAINER = "Brannic <linkora@brannic.example>"
# As Debian's own packages are stripped (dh_strip).
STRIP_PROGRAM = ["--strip-all", "--remove-section=.comment", "--remove-section=.note"]
STRIP_LIBRARY = ["--strip-unneeded", "--remove-section=.comment", "--remove-section=.note"]


def output(*command, cwd=None):
    done = subprocess.run(command, capture_output=True, text=True, cwd=cwd)
    if done.returncode != 0:
        sys.exit(f"make_deb: {command[0]} failed:\n{done.stderr}")
    return done.stdout


def fill(text, values):
    """The text with each @KEY@ replaced by its value."""
    for key, value in values.items():
        text = text.replace(f"@{key}@", value)
    return text


def gzip_file(source_text, target):
    """gzip -9n: no name and no time inside, as Debian's manual pages are."""
    with open(target, "wb") as raw, gzip.GzipFile("", "wb", 9, raw, mtime=0) as packed:
        packed.write(source_text.encode("utf-8"))
    os.chmod(target, 0o644)


def release_date(source):
    """The date of the commit built, so that a rebuild writes the same
    changelog; now, outside a git checkout."""
    try:
        found = subprocess.run(["git", "log", "-1", "--format=%aD"], capture_output=True,
                               text=True, cwd=source)
    except OSError:
        found = None
    if found is None or found.returncode != 0 or not found.stdout.strip():
        return email.utils.formatdate(time.time())
    return found.stdout.strip()


def shlib_depends(library_folder, binaries, work, package):
    """The Depends that dpkg-shlibdeps reads from the binaries' needs."""
    scratch = fresh_folder(work / "shlibdeps")
    (scratch / "debian").mkdir()
    # dpkg-shlibdeps reads the packages built from a control file.
    write_text(scratch / "debian/control",
               f"Source: {PACKAGE}\n\nPackage: {package}\nArchitecture: any\n")
    found = output("dpkg-shlibdeps", "-O", f"-l{library_folder}",
                   *[f"-e{binary}" for binary in binaries], cwd=scratch)
    match = re.search(r"^shlibs:Depends=(.*)$", found, re.M)
    if not match:
        sys.exit(f"make_deb: dpkg-shlibdeps found no dependencies:\n{found}")
    return match.group(1)


def installed_size(root):
    """In KiB, counted as dpkg-gencontrol does: each file rounded up, each
    folder and link one."""
    total = 0
    for folder, folders, files in os.walk(root):
        if Path(folder).name == "DEBIAN":
            continue
        for name in files:
            path = Path(folder) / name
            total += 1 if path.is_symlink() else (path.stat().st_size + 1023) // 1024
        total += len([name for name in folders if name != "DEBIAN"])
    return total


def write_control(root, options, template, architecture, depends, soname=None):
    """DEBIAN/ of a package; with soname, the library's ldconfig trigger and
    the shlibs entry too."""
    control = root / "DEBIAN"
    control.mkdir(mode=0o755)
    text = fill((Path(options.debian) / template).read_text(),
                {"VERSION": options.version, "ARCHITECTURE": architecture,
                 "MAINTAINER": MAINTAINER, "DEPENDS": depends,
                 "INSTALLED_SIZE": str(installed_size(root))})
    write_text(control / "control", text)
    if soname:
        shutil.copyfile(Path(options.debian) / "triggers", control / "triggers")
        os.chmod(control / "triggers", 0o644)
        # Other packages' programs linked with libtolm depend on this package.
        name, major = re.fullmatch(r"lib(.+)\.so\.(\d+)", soname).groups()
        write_text(control / "shlibs", f"lib{name} {major} {PACKAGE} (>= {options.version})\n")
    sums = []
    for path in sorted(root.rglob("*")):
        if path.is_file() and not path.is_symlink() and "DEBIAN" not in path.parts:
            digest = hashlib.md5(path.read_bytes()).hexdigest()
            sums.append(f"{digest}  {path.relative_to(root)}\n")
    write_text(control / "md5sums", "".join(sums))


def write_documents(options, documents):
    """copyright and changelog, which every package carries."""
    packaging = Path(__file__).resolve().parent
    date = release_date(packaging)
    year = str(email.utils.parsedate_to_datetime(date).year)
    write_text(documents / "copyright",
               fill((Path(options.debian) / "copyright.in").read_text(), {"YEAR": year}))
    changelog = fill((Path(options.debian) / "changelog.in").read_text(),
                     {"VERSION": options.version, "MAINTAINER": MAINTAINER, "DATE": date})
    gzip_file(changelog, documents / "changelog.gz")


def write_manual(options, multiarch, page, manuals):
    text = fill((Path(__file__).resolve().parent / f"{page}.in").read_text(),
                {"VERSION": options.version, "MULTIARCH": multiarch})
    gzip_file(text, manuals / f"{page}.gz")


def build_deb(root, out, base):
    """dpkg-deb, then lintian, which must find no error."""
    package = out / f"{base}.deb"
    subprocess.run(["dpkg-deb", "--root-owner-group", "-Zxz", "--build", str(root), str(package)],
                   check=True, stdout=subprocess.DEVNULL)
    print(f"make_deb: {package}")
    lintian = subprocess.run(["lintian", "--fail-on", "error", "--display-info", str(package)],
                             capture_output=True, text=True)
    print(lintian.stdout + lintian.stderr, end="")
    if lintian.returncode != 0:
        sys.exit(f"make_deb: lintian finds errors in {package}")


def make_linkora(options, architecture, multiarch, work, out):
    base = f"{PACKAGE}_{options.version}_{architecture}"
    root = fresh_folder(work / "deb-root")
    debug = fresh_folder(out / f"{base}.debug")
    library_folder = root / "usr/lib" / multiarch
    binaries = root / "usr/bin"
    headers = root / "usr/include"
    manuals = root / "usr/share/man/man1"
    documents = root / "usr/share/doc" / PACKAGE
    completions = root / "usr/share/bash-completion/completions"
    zsh_completions = root / "usr/share/zsh/vendor-completions"
    for folder in (library_folder, binaries, headers, manuals, documents, completions,
                   zsh_completions):
        folder.mkdir(parents=True)
    library = library_folder / Path(options.library).name
    ship_stripped(options.objcopy, options.library, library, debug, STRIP_LIBRARY, 0o644)
    (library_folder / options.soname).symlink_to(library.name)
    # Lets programs of one's own link with -ltolm.
    (library_folder / "libtolm.so").symlink_to(options.soname)
    ship_stripped(options.objcopy, options.linkora, binaries / "linkora", debug, STRIP_PROGRAM,
                  0o755)
    for header in options.headers:
        shutil.copyfile(header, headers / Path(header).name)
        os.chmod(headers / Path(header).name, 0o644)
    write_manual(options, multiarch, "linkora.1", manuals)
    for source, target in ((options.completion, completions / "linkora"),
                           (options.zsh_completion, zsh_completions / "_linkora")):
        shutil.copyfile(source, target)
        os.chmod(target, 0o644)
    write_documents(options, documents)
    write_guide(options.guide, documents)
    copy_schemas(options.schemas, documents)

    depends = shlib_depends(library_folder, [library, binaries / "linkora"], work, PACKAGE)
    write_control(root, options, "control.in", architecture, depends, options.soname)
    build_deb(root, out, base)


def make_simulator(options, architecture, multiarch, work, out):
    base = f"{SIMULATOR_PACKAGE}_{options.version}_{architecture}"
    root = fresh_folder(work / "deb-root-sim")
    debug = fresh_folder(out / f"{base}.debug")
    binaries = root / "usr/bin"
    manuals = root / "usr/share/man/man1"
    documents = root / "usr/share/doc" / SIMULATOR_PACKAGE
    for folder in (binaries, manuals, documents):
        folder.mkdir(parents=True)
    ship_stripped(options.objcopy, options.simulator, binaries / "tolm-sim", debug, STRIP_PROGRAM,
                  0o755)
    write_manual(options, multiarch, "tolm-sim.1", manuals)
    write_documents(options, documents)
    depends = shlib_depends(binaries, [binaries / "tolm-sim"], work, SIMULATOR_PACKAGE)
    write_control(root, options, "control-sim.in", architecture, depends)
    build_deb(root, out, base)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--version", "--objcopy", "--library", "--soname", "--linkora",
                   "--simulator", "--guide", "--schemas", "--completion", "--zsh-completion", "--debian",
                   "--work",
                   "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--headers", nargs="+", required=True)
    options = parser.parse_args()
    # Folders 0755 and files 0644 whatever the caller's umask.
    os.umask(0o022)
    architecture = output("dpkg", "--print-architecture").strip()
    multiarch = output("dpkg-architecture", "-qDEB_HOST_MULTIARCH").strip()
    work = Path(options.work)
    out = Path(options.out)
    out.mkdir(parents=True, exist_ok=True)
    make_linkora(options, architecture, multiarch, work, out)
    make_simulator(options, architecture, multiarch, work, out)


if __name__ == "__main__":
    main()
