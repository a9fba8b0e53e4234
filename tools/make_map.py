#!/usr/bin/env python3
"""Writes the detailed map file that the exception report reads, for a DLL linked by GNU ld.

GNU ld has no detailed-map output, so the parts are gathered from what the toolchain has:
  - units (object files) and where their code lies: the linker's own map (ld -Map),
  - routines, including static ones: nm's symbol table, demangled,
  - source lines: objdump's decoded DWARF line table,
and written in the layout the report's lookup expects. Offsets count from the start of the
code section (.text), which is segment 0001.

Usage: make_map.py --ld-map LINKER.map --nm NM --objdump OBJDUMP DLL OUTPUT.map
"""

import argparse
import os
import re
import subprocess
import sys

TEXT_SECTION = re.compile(r"^\.text\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)")
INPUT_SECTION = re.compile(r"^ (\S+)(?:\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(.+))?$")
WRAPPED_PLACE = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(.+)$")
SYMBOL = re.compile(r"^([0-9a-fA-F]{8}) ([tTwW]) (.+)$")
LINE_ENTRY = re.compile(r"^(\S+)\s+(\d+)\s+(0x[0-9a-fA-F]+)\b")
# The lookup reads the line number from columns 2-6 of its group.
MAX_LINE = 99999
GROUPS_PER_LINE = 4


def unit_name(object_file):
    """"lib.a(Unit.cpp.obj)" and "dir/Unit.o" are both the unit "Unit"."""
    member = re.search(r"\(([^()]+)\)$", object_file)
    name = os.path.basename(member.group(1) if member else object_file)
    return name.split(".")[0].replace(" ", "_") or "?"


def read_code_section(ld_map):
    """The start and size of .text and its pieces as (address, size, unit), in file order."""
    with open(ld_map, encoding="utf-8", errors="replace") as file:
        lines = file.read().splitlines()
    start = next(i for i, line in enumerate(lines) if TEXT_SECTION.match(line))
    text_start, text_size = (int(v, 16) for v in TEXT_SECTION.match(lines[start]).groups())
    pieces = []
    i = start + 1
    while i < len(lines) and not re.match(r"^\S", lines[i]):
        match = INPUT_SECTION.match(lines[i])
        if match and not match.group(1).startswith("*"):
            place = match.groups()[1:] if match.group(2) else None
            if place is None and i + 1 < len(lines):
                wrapped = WRAPPED_PLACE.match(lines[i + 1])
                place = wrapped.groups() if wrapped else None
                i += 1 if wrapped else 0
            if place and int(place[1], 16) > 0:
                pieces.append((int(place[0], 16), int(place[1], 16), unit_name(place[2].strip())))
        i += 1
    return text_start, text_size, pieces


def segments(text_start, text_size, pieces):
    """One segment per run of pieces from the same unit, then a closing one at the end of
    the code: the lookup names the segment before the first one that starts above the
    address, so the last listed segment is only an end mark."""
    result = []
    for address, _, unit in sorted(pieces):
        if not result or result[-1][1] != unit:
            result.append((address - text_start, unit))
    result.append((text_size, "etext"))
    return result


def run(tool, *arguments):
    return subprocess.run([tool, *arguments], check=True, capture_output=True, text=True,
                          errors="replace").stdout


def read_symbols(nm, dll, text_start, text_size):
    symbols = []
    for line in run(nm, "-n", "-C", "--defined-only", dll).splitlines():
        match = SYMBOL.match(line)
        if not match or match.group(3).startswith("."):
            continue
        offset = int(match.group(1), 16) - text_start
        if 0 <= offset < text_size:
            symbols.append((offset, match.group(3)))
    return symbols


def read_line_numbers(objdump, dll, text_start, text_size):
    """Per source file, (offset, line) pairs. Where several entries share an address, the
    last is the one in force for the code there."""
    by_address = {}
    for line in run(objdump, "--dwarf=decodedline", dll).splitlines():
        match = LINE_ENTRY.match(line)
        if not match:
            continue
        offset = int(match.group(3), 16) - text_start
        number = int(match.group(2))
        if 0 <= offset < text_size and number <= MAX_LINE:
            by_address[offset] = (match.group(1), number)
    files = {}
    for offset in sorted(by_address):
        source, number = by_address[offset]
        files.setdefault(source, []).append((offset, number))
    return files


def map_text(segment_list, symbols, line_numbers):
    out = [" Start         Length     Name                   Class",
           " 0001:00000000 %08XH .text                   CODE" % segment_list[-1][0], "",
           "Detailed map of segments", ""]
    ends = [offset for offset, _ in segment_list[1:]] + [segment_list[-1][0]]
    for (offset, unit), end in zip(segment_list, ends):
        # The unit name starts in column 60 and ends at the next blank.
        out.append(" 0001:%08X %08X C=CODE     S=.text    G=(none)   M=%s ACBP=A9" % (offset, end - offset, unit))
    out.append("")
    for title, ordered in (("Name", sorted(symbols, key=lambda s: (s[1], s[0]))), ("Value", symbols)):
        out += ["", "  Address         Publics by " + title, ""]
        out += [" 0001:%08X       %s" % symbol for symbol in ordered]
    out.append("")
    for source, entries in line_numbers.items():
        out += ["", "Line numbers for %s(%s) segment .text" % (source, source), ""]
        groups = ["%6d 0001:%08X" % (number, offset) for offset, number in entries]
        out += ["".join(groups[i:i + GROUPS_PER_LINE]) for i in range(0, len(groups), GROUPS_PER_LINE)]
    out.append("")
    return "\r\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ld-map", required=True)
    parser.add_argument("--nm", default="i686-w64-mingw32-nm")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("dll")
    parser.add_argument("output")
    args = parser.parse_args()
    text_start, text_size, pieces = read_code_section(args.ld_map)
    symbols = read_symbols(args.nm, args.dll, text_start, text_size)
    if not any(name.endswith("__CodeSegmentTestDummy__") for _, name in symbols):
        sys.exit("make_map.py: %s has no __CodeSegmentTestDummy__" % args.dll)
    lines = read_line_numbers(args.objdump, args.dll, text_start, text_size)
    with open(args.output, "w", encoding="latin-1", errors="replace", newline="") as file:
        file.write(map_text(segments(text_start, text_size, pieces), symbols, lines))


if __name__ == "__main__":
    main()
