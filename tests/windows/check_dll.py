#!/usr/bin/env python3
"""Checks what hosts rely on in a built tolm.dll: the export directory, the
machine, no mingw runtime DLLs, stdcall on i686, the version resource and
the manifest. Exit status 0 when all holds; every failure is listed."""

import argparse
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from pe_resources import (RT_MANIFEST, RT_VERSION, VS_FIXEDFILEINFO_SIGNATURE, PeImage,
                          VersionNode, fixed_file_info)

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expectations import expect, report  # noqa: E402

EXPORTS = {
    "TOLM_GetResponse": 1, "TOLM_GetInvPswdMacId": 2, "TOLM_RemoveFirstInvPswdMacId": 3,
    "TOLM_Start": 4, "TOLM_SendModuleScan": 5, "TOLM_SendConfigure": 6,
    "TOLM_RegisterCallBack": 7, "DllGetVersion": 8, "TOLM_Stop": 9,
    # Extensions follow the nine.
    "TOLM_GetSocketStatus": 10, "TOLM_GetAdapters": 11, "TOLM_SendModuleScanVia": 12,
    "TOLM_SendConfigureVia": 13, "TOLM_GetResponseWithOrigin": 14,
    "TOLM_GetReplyWithOrigin": 15, "TOLM_GetDropCounts": 16,
    "TOLM_SendModuleScanViaIndex": 17, "TOLM_SendConfigureViaIndex": 18,
}
# Bytes of arguments that a stdcall export pops on return.
POPPED_BYTES = {"TOLM_GetResponse": 4, "TOLM_GetInvPswdMacId": 4, "TOLM_SendConfigure": 4,
                "TOLM_RegisterCallBack": 4, "DllGetVersion": 4, "TOLM_GetSocketStatus": 4,
                "TOLM_GetAdapters": 8, "TOLM_SendModuleScanVia": 4, "TOLM_SendConfigureVia": 8,
                "TOLM_GetResponseWithOrigin": 8, "TOLM_GetReplyWithOrigin": 4,
                "TOLM_GetDropCounts": 4, "TOLM_SendModuleScanViaIndex": 4,
                "TOLM_SendConfigureViaIndex": 8}
FORMATS = {"i386": "pei-i386", "x86-64": "pei-x86-64"}
STRINGS = {"FileDescription": "tolm dll", "FileVersion": "1, 3, 1, 1",
           "ProductVersion": "1, 3, 1, 1", "OriginalFilename": "tolm.dll"}

def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def read_exports(private_headers):
    """Module name, ordinal base, address count, {name: ordinal}."""
    section = private_headers.split("The Export Tables", 1)
    if not expect(len(section) == 2, "no export table"):
        return None, 0, 0, {}, {}
    table = section[1].split("\n\n\n", 1)[0]
    module = re.search(r"^Name\s+\S+\s+(\S+)$", table, re.M)
    base = int(re.search(r"^Ordinal Base\s+(\d+)", table, re.M).group(1))
    addresses = int(re.search(r"Export Address Table\s+([0-9a-fA-F]+)$", table, re.M).group(1), 16)
    names_part = table.split("[Ordinal/Name Pointer] Table", 1)[1]
    # objdump lists each name with its index into the address table.
    names = {name: int(index) + base
             for index, name in re.findall(r"^\s*\[\s*(\d+)\]\s+(\S+)$", names_part, re.M)}
    rvas = {int(index) + base: int(rva, 16) for index, rva in re.findall(
        r"^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-fA-F]+) Export RVA", table, re.M)}
    return (module.group(1) if module else None), base, addresses, names, rvas


def check_exports(tool, dll, machine):
    headers = objdump(tool, "-p", dll)
    module, _, addresses, names, rvas = read_exports(headers)
    expect(module == "tolmdll.dll", f"export directory names the module {module!r}")
    expect(addresses == len(EXPORTS), f"{addresses} entries in the export address table")
    expect(names == EXPORTS, f"exports by name and ordinal are {sorted(names.items())}")
    for name in names:
        expect("@" not in name and not name.startswith("_"), f"decorated export {name}")
    for imported in re.findall(r"DLL Name: (\S+)", headers):
        expect(not imported.lower().startswith("lib"), f"needs the mingw runtime {imported}")
    file_format = re.search(r"file format (\S+)", objdump(tool, "-f", dll)).group(1)
    expect(file_format == FORMATS[machine], f"file format {file_format}, not {FORMATS[machine]}")
    if machine == "i386":
        image_base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", headers, re.M).group(1), 16)
        for name, popped in POPPED_BYTES.items():
            if name in names:
                check_pops(tool, dll, name, image_base + rvas[names[name]], popped)


def check_pops(tool, dll, name, address, popped):
    code = objdump(tool, "-d", f"--start-address={address:#x}",
                   f"--stop-address={address + 0x100:#x}", dll)
    ret = re.search(r"\tret\s*(\$0x[0-9a-f]+)?", code)
    found = int(ret.group(1)[1:], 16) if ret and ret.group(1) else 0
    expect(ret is not None and found == popped,
           f"{name} returns popping {found} bytes, stdcall pops {popped}")


def check_version(root):
    expect(root.key == "VS_VERSION_INFO", f"version root key {root.key!r}")
    fixed = fixed_file_info(root)
    expect(fixed["signature"] == VS_FIXEDFILEINFO_SIGNATURE, "fixed file info signature")
    for field in ("file", "product"):
        version = (fixed[f"{field}_ms"] >> 16, fixed[f"{field}_ms"] & 0xFFFF,
                   fixed[f"{field}_ls"] >> 16, fixed[f"{field}_ls"] & 0xFFFF)
        expect(version == (1, 3, 1, 1), f"fixed {field} version {version}")
    expect(fixed["flags_mask"] == 0x3F, f"file flags mask {fixed['flags_mask']:#x}")
    expect(fixed["flags"] == 0, f"file flags {fixed['flags']:#x}")
    expect(fixed["os"] == 0x4, f"file OS {fixed['os']:#x}, not VOS__WINDOWS32")
    expect(fixed["type"] == 0x2, f"file type {fixed['type']:#x}, not VFT_DLL")
    strings = root.child("StringFileInfo")
    if expect(strings is not None, "no StringFileInfo"):
        tables = [table.key for table in strings.children]
        expect(tables == ["040904b0"], f"string tables {tables}")
        values = {entry.key: entry.text() for entry in strings.children[0].children}
        for key, wanted in STRINGS.items():
            expect(values.get(key) == wanted, f"{key} is {values.get(key)!r}, not {wanted!r}")
    variables = root.child("VarFileInfo")
    translation = variables.child("Translation") if variables else None
    if expect(translation is not None, "no Translation"):
        pairs = list(struct.iter_unpack("<HH", translation.value))
        shown = [f"{language:#06x}/{code_page:#06x}" for language, code_page in pairs]
        expect(pairs == [(0x0409, 0x04B0)], f"translations {shown}")


def check_resources(dll):
    with open(dll, "rb") as image:
        resources = PeImage(image.read()).resources()
    versions = [data for (kind, _, _), data in resources if kind == RT_VERSION]
    if expect(len(versions) == 1, f"{len(versions)} version resources"):
        check_version(VersionNode(versions[0], 0))
    manifests = [(name, data) for (kind, name, _), data in resources if kind == RT_MANIFEST]
    expect([name for name, _ in manifests] == [2], f"manifest ids {[n for n, _ in manifests]}")
    if manifests:
        levels = [element.get("level") for element in ElementTree.fromstring(manifests[0][1]).iter()
                  if element.tag.endswith("}requestedExecutionLevel")]
        expect(levels == ["asInvoker"], f"requested execution levels {levels}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("dll")
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--machine", choices=FORMATS, required=True)
    arguments = parser.parse_args()
    check_exports(arguments.objdump, arguments.dll, arguments.machine)
    check_resources(arguments.dll)
    return report(arguments.dll)


if __name__ == "__main__":
    sys.exit(main())
