#!/usr/bin/env python3
"""Checks that the zsh and PowerShell completions offer, for linkora and for
each command, the options its --help lists (bash's is checked in the package
test, where it is driven as installed), and that the zsh script parses.
linkora --help opens no socket and loads no library."""

import argparse
import re
import shutil
import subprocess
import sys
from pathlib import Path

OPTION = re.compile(r"(?<![\w-])(--?[a-zA-Z][\w-]*)")
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAIL: {what}")


def listed_options(help_text):
    """The options a --help lists: every name of each option line."""
    names = re.findall(r"^\s+((?:-{1,2}[\w-]+,)*-{1,2}[\w-]+)", help_text, re.M)
    return {name for group in names for name in group.split(",")}


def help_of(linkora, *words):
    return subprocess.run([linkora, *words, "--help"], capture_output=True, text=True,
                          timeout=30).stdout


def zsh_options(text):
    """Per command ("" for linkora's own): the options its branch names."""
    top = text.split("_arguments -C", 1)[1].split("&& return", 1)[0]
    branches = {"": top}
    branches.update(re.findall(r"^ {8}(\w+)\)\n(.*?)^ {12};;", text, re.M | re.S))
    # Descriptions in [...] may name options; only the option names outside them count.
    return {command: set(OPTION.findall(re.sub(r"\[[^]]*\]", "", body)))
            for command, body in branches.items()}


def powershell_options(text):
    table = text.split("$options = @{", 1)[1].split("\n    }", 1)[0]
    return {command.strip("'"): set(OPTION.findall(names))
            for command, names in re.findall(r"^\s+('\w*'|\w+)\s*=\s*@\(([^)]*)\)", table, re.M)}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--linkora", required=True)
    parser.add_argument("--zsh", required=True)
    parser.add_argument("--powershell", required=True)
    options = parser.parse_args()

    top = help_of(options.linkora)
    listing = top.split("Subcommands:", 1)[-1].split("\n\n", 1)[0]
    commands = set(re.findall(r"^  (\w+) {2,}", listing, re.M))
    expect(bool(commands), "linkora --help lists no command")
    wanted = {"": listed_options(top.split("Subcommands:", 1)[0])}
    wanted.update({command: listed_options(help_of(options.linkora, command))
                   for command in commands})

    zsh_text = Path(options.zsh).read_text()
    powershell_text = Path(options.powershell).read_text()
    for name, offered in (("zsh", zsh_options(zsh_text)),
                          ("PowerShell", powershell_options(powershell_text))):
        expect(set(offered) == set(wanted),
               f"the {name} completion knows the commands {sorted(set(offered) - {''})}")
        for command in sorted(set(offered) & set(wanted)):
            expect(offered[command] == wanted[command],
                   f"the {name} completion of {command or 'linkora'} differs from its --help in "
                   f"{sorted(offered[command] ^ wanted[command])}")
    for command in commands:
        expect(re.search(rf"'{command}:", zsh_text) and f"'{command}'" in powershell_text,
               f"a completion does not offer the command {command}")

    zsh = shutil.which("zsh")
    expect(zsh is not None, "zsh is not installed (scripts/setup installs it)")
    if zsh:
        parsed = subprocess.run([zsh, "-n", options.zsh], capture_output=True, text=True)
        expect(parsed.returncode == 0, f"zsh -n: {parsed.stderr.strip()}")
    if failures:
        sys.exit(f"{len(failures)} completion checks failed")
    print("the zsh and PowerShell completions offer what --help lists")


if __name__ == "__main__":
    main()
