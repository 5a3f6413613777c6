#!/usr/bin/env python3
"""Checks the resources built into "Brannic Linkora CFG.exe": the four dialog
templates control by control, the strings, the icon's images, the version
resource and the manifest; and that it is a GUI program for its machine.
Exit status 0 when all holds; every failure is listed."""

import argparse
import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, ".."), os.path.join(here, "..", "windows")]
from expectations import expect, report  # noqa: E402
from pe_resources import (RT_MANIFEST, RT_VERSION, VS_FIXEDFILEINFO_SIGNATURE,  # noqa: E402
                          PeImage, VersionNode, fixed_file_info)

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON = 3, 5, 6, 14
MACHINES = {"i386": 0x14C, "x86-64": 0x8664}
CLASSES = {0x80: "Button", 0x81: "Edit", 0x82: "Static"}

WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_BORDER = 0x80000000, 0x10000000, 0x00C00000, 0x00800000
WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x80000, 0x40000, 0x20000, 0x10000
WS_GROUP, WS_TABSTOP, DS_MODALFRAME, WS_EX_APPWINDOW = 0x20000, 0x10000, 0x80, 0x40000
BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX, BS_AUTORADIOBUTTON = 0x1, 0x3, 0x7, 0x9
SS_ICON, SS_NOPREFIX, ES_PASSWORD, ES_AUTOHSCROLL = 0x3, 0x80, 0x20, 0x80
LVS_REPORT, LVS_SINGLESEL = 0x1, 0x4

# id, class, text, (x, y, cx, cy), style bits that must be set, type bits (low nibble) or None
ABOUT = ("About box", 100, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, (235, 49), [
    (1019, "Static", "#128", (11, 12, 20, 20), 0, SS_ICON),
    (1014, "Static", "(Name and version updated automaticly)", (40, 10, 134, 8),
     SS_NOPREFIX | WS_GROUP, 0),
    (-1, "Static", None, (40, 25, 167, 8), WS_GROUP, 0),
    (1, "Button", "OK", (178, 7, 50, 14), WS_GROUP | WS_TABSTOP, BS_DEFPUSHBUTTON),
])
MAIN = ("main window", 102, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
        WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_APPWINDOW, (416, 185), [
    (1000, "Button", "Scan", (299, 166, 50, 14), WS_TABSTOP, BS_DEFPUSHBUTTON),
    (1, "Button", "Exit", (359, 166, 50, 14), WS_TABSTOP, 0),
    (1002, "SysListView32", "", (7, 7, 402, 154), LVS_REPORT | LVS_SINGLESEL | WS_BORDER |
     WS_TABSTOP, None),
])
CONFIG = ("configuration dialog", 103, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
          (307, 218), [
    (1, "Button", "Set", (194, 199, 50, 14), WS_TABSTOP, BS_DEFPUSHBUTTON),
    (2, "Button", "Cancel", (250, 199, 50, 14), WS_TABSTOP, 0),
    (-1, "Static", "IP address:", (12, 17, 36, 8), 0, 0),
    (1004, "SysIPAddress32", "", (71, 15, 100, 15), WS_TABSTOP, None),
    (-1, "Static", "Subnet mask:", (11, 40, 44, 8), 0, 0),
    (1005, "SysIPAddress32", "", (71, 38, 100, 15), WS_TABSTOP, None),
    (-1, "Static", "Default gateway:", (11, 63, 54, 8), 0, 0),
    (1006, "SysIPAddress32", "", (71, 61, 100, 15), WS_TABSTOP, None),
    (-1, "Static", "Primary DNS:", (10, 86, 43, 8), 0, 0),
    (1007, "SysIPAddress32", "", (71, 84, 100, 15), WS_TABSTOP, None),
    (-1, "Static", "Secondary DNS:", (10, 109, 54, 8), 0, 0),
    (1014, "SysIPAddress32", "", (71, 107, 100, 15), WS_TABSTOP, None),
    (-1, "Static", "Hostname:", (10, 132, 35, 8), 0, 0),
    (1015, "Edit", "", (71, 130, 100, 14), WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, None),
    (-1, "Static", "Password:", (10, 155, 34, 8), 0, 0),
    (1010, "Edit", "", (71, 152, 100, 14), ES_PASSWORD | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
     None),
    (-1, "Static", "New password:", (10, 178, 50, 8), 0, 0),
    (1011, "Edit", "", (71, 174, 100, 14), ES_PASSWORD | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
     None),
    (1012, "Button", "DHCP", (190, 15, 91, 52), 0, BS_GROUPBOX),
    (1008, "Button", "On", (200, 30, 25, 10), WS_GROUP, BS_AUTORADIOBUTTON),
    (1009, "Button", "Off", (200, 48, 25, 10), 0, BS_AUTORADIOBUTTON),
    (1013, "Button", "Change password", (190, 155, 73, 10), WS_TABSTOP, BS_AUTOCHECKBOX),
    (-1, "Button", "Ethernet configuration", (5, 5, 295, 190), 0, BS_GROUPBOX),
])
CONFIRM = ("new password's confirmation", 106, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
           0, (186, 63), [
    (-1, "Static", "Type the new password again:", (7, 9, 172, 8), 0, 0),
    (1016, "Edit", "", (7, 21, 172, 14), ES_PASSWORD | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
     None),
    (1, "Button", "OK", (75, 42, 50, 14), WS_TABSTOP, BS_DEFPUSHBUTTON),
    (2, "Button", "Cancel", (129, 42, 50, 14), WS_TABSTOP, 0),
])
# Controls that must not have these: radio buttons no tab stop, "Off" no group.
NOT_SET = {(103, 1008): WS_TABSTOP, (103, 1009): WS_TABSTOP | WS_GROUP}
STRINGS = {101: "&About Brannic Linkora CFG...", 104: "Brannic Linkora CFG",
           105: "About Brannic Linkora CFG"}
VERSION_STRINGS = {"CompanyName": "Brannic", "FileDescription": "Brannic Linkora CFG",
                   "FileVersion": "1, 6, 1, 3", "InternalName": "Linkora CFG",
                   "OriginalFilename": "Brannic Linkora CFG.exe", "ProductName": "Linkora CFG",
                   "ProductVersion": "1, 6, 1, 3"}

class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        first = struct.unpack_from("<H", self.data, self.at)[0]
        if first == 0:
            self.at += 2
            return ""
        if first == 0xFFFF:
            self.at += 2
            return "#%d" % self.take("H")
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def parse_dialog(data):
    """An extended dialog template: header fields and its items, in template order."""
    r = Reader(data)
    version, signature = r.take("HH")
    if (version, signature) != (1, 0xFFFF):
        raise ValueError("not an extended dialog template")
    _, ex_style, style, count, x, y, cx, cy = r.take("IIIHhhhh")
    r.name_or_ordinal()
    r.name_or_ordinal()
    dialog = {"ex_style": ex_style, "style": style, "size": (cx, cy), "caption": r.text()}
    dialog["point_size"], _, _, _ = r.take("HHBB")
    dialog["font"] = r.text()
    items = []
    for _ in range(count):
        r.align()
        _, item_ex_style, item_style, ix, iy, icx, icy, item_id = r.take("IIIhhhhi")
        kind = r.name_or_ordinal()
        if kind.startswith("#"):
            kind = CLASSES.get(int(kind[1:]), kind)
        items.append({"id": item_id, "class": kind, "text": r.name_or_ordinal(),
                      "box": (ix, iy, icx, icy), "style": item_style})
        extra = r.take("H")
        r.at += extra
    return dialog, items


def check_dialog(resources, spec):
    name, dialog_id, style, ex_style, size, controls = spec
    found = resources.get((RT_DIALOG, dialog_id))
    if not expect(found is not None, f"no dialog {dialog_id}"):
        return
    dialog, items = parse_dialog(found)
    expect(dialog["style"] & style == style, f"{name}: style {dialog['style']:#x}")
    expect(dialog["ex_style"] & ex_style == ex_style, f"{name}: extended style")
    expect(dialog["size"] == size, f"{name}: size {dialog['size']}")
    expect((dialog["font"], dialog["point_size"]) == ("MS Sans Serif", 8),
           f"{name}: font {dialog['font']} {dialog['point_size']}")
    expect(len(items) == len(controls), f"{name}: {len(items)} controls, not {len(controls)}")
    for item, (cid, kind, text, box, bits, kind_bits) in zip(items, controls):
        what = f"{name} control {cid}"
        # Class names are not case-sensitive; the resource compiler upper-cases them.
        expect(item["id"] == cid and item["class"].lower() == kind.lower(),
               f"{what}: found {item['id']} {item['class']} in its place in the tab order")
        expect(text is None or item["text"] == text, f"{what}: text {item['text']!r}")
        expect(item["box"] == box, f"{what}: position {item['box']}, not {box}")
        expect(item["style"] & bits == bits, f"{what}: style {item['style']:#x} lacks {bits:#x}")
        expect(kind_bits is None or item["style"] & 0xF == kind_bits, f"{what}: kind")
        expect(item["style"] & NOT_SET.get((dialog_id, cid), 0) == 0, f"{what}: extra style")


def check_strings(resources):
    for string_id, wanted in STRINGS.items():
        block = resources.get((RT_STRING, (string_id >> 4) + 1), b"")
        r = Reader(block)
        text = None
        for index in range(16):
            if r.at >= len(block):
                break
            length = r.take("H")
            value = block[r.at:r.at + 2 * length].decode("utf-16-le")
            r.at += 2 * length
            if index == string_id & 15:
                text = value
        expect(text == wanted, f"string {string_id} is {text!r}")


def check_icon(resources):
    group = resources.get((RT_GROUP_ICON, 128))
    if not expect(group is not None, "no icon 128"):
        return
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
    sizes = sorted((width or 256, bits) for width, _, _, _, _, bits, _, _ in entries)
    expect(kind == 1 and sizes == [(16, 32), (32, 32), (48, 32)], f"icon 128 images {sizes}")
    for width, _, _, _, _, _, size, image_id in entries:
        image = resources.get((RT_ICON, image_id), b"")
        expect(len(image) == size and struct.unpack_from("<i", image, 4)[0] == width,
               f"icon image {image_id} of {width} pixels")


def check_version(resources):
    root = VersionNode(resources[(RT_VERSION, 1)], 0)
    fixed = fixed_file_info(root)
    expect(fixed["signature"] == VS_FIXEDFILEINFO_SIGNATURE, "fixed file info signature")
    for field in ("file", "product"):
        numbers = (fixed[f"{field}_ms"] >> 16, fixed[f"{field}_ms"] & 0xFFFF,
                   fixed[f"{field}_ls"] >> 16, fixed[f"{field}_ls"] & 0xFFFF)
        expect(numbers == (1, 6, 1, 3), f"fixed {field} version {numbers}")
    expect((fixed["flags"], fixed["os"], fixed["type"]) == (0, 0x4, 0x1),
           "file flags 0, VOS__WINDOWS32, VFT_APP")
    tables = root.child("StringFileInfo").children
    expect([table.key for table in tables] == ["040904b0"], "one string table, 040904b0")
    values = {entry.key: entry.text() for entry in tables[0].children}
    for key, wanted in VERSION_STRINGS.items():
        expect(values.get(key) == wanted, f"{key} is {values.get(key)!r}")
    expect(bool(values.get("LegalCopyright")), "a LegalCopyright")
    translation = root.child("VarFileInfo").child("Translation")
    expect(list(struct.iter_unpack("<HH", translation.value)) == [(0x0409, 0x04B0)],
           "translation 0x0409, 0x04B0")


def check_manifest(resources):
    manifest = resources.get((RT_MANIFEST, 1))
    if not expect(manifest is not None, "no manifest 1"):
        return
    root = ElementTree.fromstring(manifest)
    levels = [e.get("level") for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
    expect(levels == ["asInvoker"], f"execution levels {levels}")
    controls = [(e.get("name"), e.get("version")) for e in root.iter()
                if e.tag.endswith("}assemblyIdentity") and "Common-Controls" in e.get("name", "")]
    expect(controls == [("Microsoft.Windows.Common-Controls", "6.0.0.0")],
           f"common controls {controls}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("program")
    parser.add_argument("--machine", choices=MACHINES, required=True)
    arguments = parser.parse_args()
    with open(arguments.program, "rb") as image_file:
        data = image_file.read()
    image = PeImage(data)
    expect(image.machine == MACHINES[arguments.machine], f"machine {image.machine:#x}")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    expect(struct.unpack_from("<H", data, pe + 24 + 68)[0] == 2, "not a GUI program")
    resources = {(kind, name): blob for (kind, name, _), blob in image.resources()}
    for spec in (ABOUT, MAIN, CONFIG, CONFIRM):
        check_dialog(resources, spec)
    check_strings(resources)
    check_icon(resources)
    check_version(resources)
    check_manifest(resources)
    return report(arguments.program)


if __name__ == "__main__":
    sys.exit(main())
