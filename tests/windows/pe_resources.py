"""Reads the resources of a PE image: the resource tree and the version block.

Only what the packaging checks need: no relocation, no imports, no writing.
"""

import struct

RT_VERSION = 16
RT_MANIFEST = 24
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for index in range(sections):
            entry = table + index * 40
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset))

    def offset_of(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise PeError(f"RVA {rva:#x} lies in no section")

    def resources(self):
        """Every resource as ((type, name, language), bytes); ids are ints, names str."""
        if self.resource_rva == 0:
            return []
        base = self.offset_of(self.resource_rva)
        found = []
        self._walk(base, base, (), found)
        return found

    def _walk(self, base, directory, path, found):
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for index in range(named + numbered):
            name_field, target = struct.unpack_from("<II", self.data, directory + 16 + index * 8)
            key = self._entry_name(base, name_field)
            if target & 0x80000000:
                self._walk(base, base + (target & 0x7FFFFFFF), path + (key,), found)
            else:
                rva, size = struct.unpack_from("<II", self.data, base + target)
                start = self.offset_of(rva)
                found.append((path + (key,), self.data[start:start + size]))

    def _entry_name(self, base, field):
        if not field & 0x80000000:
            return field
        at = base + (field & 0x7FFFFFFF)
        length = struct.unpack_from("<H", self.data, at)[0]
        return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")


class VersionNode:
    """One block of a version resource: key, value and child blocks."""

    def __init__(self, data, offset):
        length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            raise PeError("version block of length 0")
        end = offset + length
        key_start = offset + 6
        key_end = key_start
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        self.key = data[key_start:key_end].decode("utf-16-le")
        value_start = _align4(key_end + 2)
        # Text values count UTF-16 characters, binary values bytes.
        value_bytes = value_length * 2 if value_type == 1 else value_length
        self.value = data[value_start:value_start + value_bytes]
        self.is_text = value_type == 1
        self.children = []
        child = _align4(value_start + value_bytes)
        while child < end:
            node = VersionNode(data, child)
            self.children.append(node)
            child = _align4(child + node.length)
        self.length = length

    def text(self):
        return self.value.decode("utf-16-le").rstrip("\0")

    def child(self, key):
        return next((node for node in self.children if node.key == key), None)


def _align4(offset):
    return (offset + 3) & ~3


def fixed_file_info(root):
    """The VS_FIXEDFILEINFO fields of a version resource, by name."""
    names = ("signature", "struct_version", "file_ms", "file_ls", "product_ms", "product_ls",
             "flags_mask", "flags", "os", "type", "subtype", "date_ms", "date_ls")
    if len(root.value) != 52:
        raise PeError(f"fixed file info of {len(root.value)} bytes")
    return dict(zip(names, struct.unpack("<13I", root.value)))
