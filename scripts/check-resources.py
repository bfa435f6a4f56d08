#!/usr/bin/env python3
"""check-resources.py EXE

Reads the resources of a Windows executable and fails unless they are those Tarnwick.exe ships:
the version information (numbers, strings and translation exactly as below), the program icon
as the first icon group, the button icons, the hand cursor, the donation bitmap and a manifest
that asks for common controls 6 for the executable's own processor. Needs nothing but Python's standard library.
"""
import re
import struct
import sys

RT_CURSOR, RT_BITMAP, RT_ICON, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = (
    1, 2, 3, 12, 14, 16, 24)

EXPECTED_STRINGS = {
    "FileVersion": "1.05",
    "ProductVersion": "1.05",
    "FileDescription": "Set the default browser for your user profile.",
    "Comments": "Set the default browser for your user profile.",
    "ProductName": "Tarnwick for Windows\u00ae XP",
    "InternalName": "Tarnwick",
    "OriginalFilename": "Tarnwick.exe",
}
EXPECTED_VERSION = (1, 5, 0, 0)
EXPECTED_TRANSLATION = (0x0409, 0x04B0)
# The manifest's processorArchitecture for each PE machine type: Windows silently gives a
# program whose manifest names another processor the old common controls.
MANIFEST_ARCHITECTURES = {0x014C: b"x86", 0x8664: b"amd64"}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections = struct.unpack_from("<HH", data, pe + 4)
        optional_size, = struct.unpack_from("<H", data, pe + 20)
        optional = pe + 24
        magic, = struct.unpack_from("<H", data, optional)
        directories = optional + (96 if magic == 0x10B else 112)
        self.rsrc_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((rva, max(vsize, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("rva 0x%x lies in no section" % rva)

    def resources(self):
        """{(type, name): bytes} for the first language of every resource with numeric ids."""
        if not self.rsrc_rva:
            return {}
        base = self.offset(self.rsrc_rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield ident, target

        found = {}
        for rtype, type_dir in entries(0):
            for name, name_dir in entries(type_dir & 0x7FFFFFFF):
                _, leaf = next(entries(name_dir & 0x7FFFFFFF))
                rva, size = struct.unpack_from("<II", self.data, base + leaf)
                start = self.offset(rva)
                found[(rtype, name)] = self.data[start:start + size]
        return found


def align4(n):
    return (n + 3) & ~3


def parse_block(data, at):
    """One VS_VERSIONINFO-style node: (key, value bytes, value type, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_start = at + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    value_at = align4(key_end + 2)
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[value_at:value_at + value_bytes]
    children = []
    child = align4(value_at + value_bytes)
    while child < end:
        node = parse_block(data, child)
        if node[4] <= child:
            break
        children.append(node)
        child = align4(node[4])
    return key, value, value_type, children, end


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    path = sys.argv[1]
    with open(path, "rb") as f:
        image = Image(f.read())
    resources = image.resources()
    problems = []

    version = resources.get((RT_VERSION, 1))
    if version is None:
        problems.append("no version information")
    else:
        key, fixed, _, children, _ = parse_block(version, 0)
        if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
            problems.append("the version information has no fixed part")
        else:
            fms, fls, pms, pls = struct.unpack_from("<IIII", fixed, 8)
            for what, ms, ls in (("file", fms, fls), ("product", pms, pls)):
                got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                if got != EXPECTED_VERSION:
                    problems.append("%s version %s, expected %s" % (what, got, EXPECTED_VERSION))
        strings, translation = {}, None
        for name, value, _, blocks, _ in children:
            if name == "StringFileInfo":
                for table, _, _, entries, _ in blocks:
                    if table.upper() != "040904B0":
                        problems.append("string table %s, expected 040904B0" % table)
                    for entry, text, _, _, _ in entries:
                        strings[entry] = text.decode("utf-16-le").rstrip("\0")
            elif name == "VarFileInfo":
                for var, data, _, _, _ in blocks:
                    if var == "Translation":
                        translation = struct.unpack_from("<HH", data, 0)
        for name, expected in EXPECTED_STRINGS.items():
            if strings.get(name) != expected:
                problems.append("%s is %r, expected %r" % (name, strings.get(name), expected))
        for name in ("CompanyName", "LegalCopyright"):
            if not strings.get(name):
                problems.append("%s is empty" % name)
        if translation != EXPECTED_TRANSLATION:
            problems.append("translation %s, expected %s" % (translation, EXPECTED_TRANSLATION))
        for name in sorted(strings):
            print("  %-17s %s" % (name, strings[name]))

    groups = sorted(name for rtype, name in resources if rtype == RT_GROUP_ICON)
    if not groups or groups[0] != 1 or len(groups) < 5:
        problems.append("icon groups %s: expected the program icon as 1 and four button icons"
                        % groups)
    if not any(rtype == RT_GROUP_CURSOR for rtype, _ in resources):
        problems.append("no cursor")
    if not any(rtype == RT_BITMAP for rtype, _ in resources):
        problems.append("no bitmap")
    manifest = resources.get((RT_MANIFEST, 1), b"")
    if b"Microsoft.Windows.Common-Controls" not in manifest or b'version="6.0.0.0"' not in manifest:
        problems.append("no manifest asking for common controls 6")
    arch = MANIFEST_ARCHITECTURES.get(image.machine)
    if arch is None:
        problems.append("machine type 0x%04x is neither x86 nor x86_64" % image.machine)
    else:
        named = set(re.findall(rb'processorArchitecture="([^"]*)"', manifest))
        if named != {arch}:
            problems.append("the manifest names processors %s, the executable is %s"
                            % (sorted(n.decode() for n in named), arch.decode()))

    for problem in problems:
        print("%s: %s" % (path, problem), file=sys.stderr)
    if not problems:
        print("%s: version information and resources as shipped" % path)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
