#!/usr/bin/env python3
"""Checks an unpacked release: its checksums, and that its map is the one its DLL was
linked with (the code section's length and each export's address agree), and, given the
reference host's screenshot, that the plug-in's dialog showed its curves.

Usage: check_release.py FOLDER [SCREENSHOT.bmp]
"""

import hashlib
import os
import re
import struct
import sys

# The curves of the plane "All", which the dialog opens with on a colour image.
CURVE_COLOURS = {(0, 128, 0): "green", (0, 0, 255): "blue"}


def fail(message):
    sys.exit("check_release.py: " + message)


def check_sums(folder):
    with open(os.path.join(folder, "SHA256SUMS")) as file:
        listed = [line.split("  ", 1) for line in file.read().splitlines()]
    names = sorted(name for _, name in listed)
    expected = sorted(["Ostravine.dll", "Ostravine.map", "README.txt", "LICENSE", "CHANGELOG.md"])
    if names != expected:
        fail("SHA256SUMS lists %s" % names)
    for digest, name in listed:
        with open(os.path.join(folder, name), "rb") as file:
            if hashlib.sha256(file.read()).hexdigest() != digest:
                fail("%s does not match its checksum" % name)


def read_pe(path):
    """The code section's address and size in the file (the linker's map gives that one,
    padded to the file's alignment), and the exports' addresses, by name."""
    with open(path, "rb") as file:
        image = file.read()
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<2xH12xH", image, pe + 4)
    optional = pe + 24
    export_rva = struct.unpack_from("<I", image, optional + 96)[0]
    table = optional + optional_size
    layout = []
    text = None
    for i in range(sections):
        name, virtual_size, address, raw_size, raw_offset = struct.unpack_from("<8sIIII", image, table + 40 * i)
        layout.append((address, virtual_size, raw_offset))
        if name.rstrip(b"\0") == b".text":
            text = (address, raw_size)

    def offset(rva):
        for address, size, raw in layout:
            if address <= rva < address + size:
                return raw + rva - address
        fail("%s: address %08X lies in no section" % (path, rva))

    count, functions, names, ordinals = struct.unpack_from("<24xIIII", image, offset(export_rva))
    exports = {}
    for i in range(count):
        name_at = offset(struct.unpack_from("<I", image, offset(names) + 4 * i)[0])
        name = image[name_at:image.index(b"\0", name_at)].decode()
        ordinal = struct.unpack_from("<H", image, offset(ordinals) + 2 * i)[0]
        exports[name] = struct.unpack_from("<I", image, offset(functions) + 4 * ordinal)[0]
    return text, exports


def check_map(folder):
    (text_address, text_size), exports = read_pe(os.path.join(folder, "Ostravine.dll"))
    with open(os.path.join(folder, "Ostravine.map"), encoding="latin-1") as file:
        map_text = file.read()
    length = re.search(r"^ 0001:00000000 ([0-9A-F]{8})H \.text", map_text, flags=re.M)
    if not length or int(length.group(1), 16) != text_size:
        fail("the map's code section is not the DLL's (%s, %08X)" % (length and length.group(1), text_size))
    for name in ("RegisterPlugin", "ProcessImage"):
        if name not in exports:
            fail("the DLL does not export %s" % name)
        listed = re.search(r"^ 0001:([0-9A-F]{8})\s+%s@\d+$" % name, map_text, flags=re.M)
        if not listed or int(listed.group(1), 16) + text_address != exports[name]:
            fail("the map places %s elsewhere than the DLL" % name)


def check_screenshot(path):
    with open(path, "rb") as file:
        bmp = file.read()
    data = struct.unpack_from("<I", bmp, 10)[0]
    width, height, bits = struct.unpack_from("<ii2xH", bmp, 18)
    if bits != 24:
        fail("%s is not a 24-bit BMP" % path)
    stride = (width * 3 + 3) // 4 * 4
    wanted = {bytes(reversed(colour)): colour for colour in CURVE_COLOURS}
    seen = set()
    for y in range(abs(height)):
        row = bmp[data + y * stride:data + y * stride + 3 * width]
        seen.update(wanted[row[x:x + 3]] for x in range(0, len(row), 3) if row[x:x + 3] in wanted)
    missing = [CURVE_COLOURS[c] for c in CURVE_COLOURS if c not in seen]
    if missing:
        fail("the screenshot shows no %s curve" % " or ".join(missing))


def main():
    if len(sys.argv) not in (2, 3):
        fail("usage: check_release.py FOLDER [SCREENSHOT.bmp]")
    check_sums(sys.argv[1])
    check_map(sys.argv[1])
    if len(sys.argv) == 3:
        check_screenshot(sys.argv[2])


if __name__ == "__main__":
    main()
