#!/usr/bin/env python3
"""Draws the plug-in's icon: a framed plot with a profile curve over a gray ramp, the
picture of what the command shows. Writes resources/Ostravine.ico (16, 32 and 48 pixels,
32-bit with alpha). Run it again after changing the drawing."""
import math
import struct
import sys
from pathlib import Path


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(x, y, rgba):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = rgba

    # Panel: button-face gray with a dark frame.
    m = max(1, round(2 * s))
    for y in range(m, size - m):
        for x in range(m, size - m):
            put(x, y, (236, 233, 216, 255))
    for x in range(m, size - m):
        put(x, m, (40, 40, 40, 255)); put(x, size - m - 1, (40, 40, 40, 255))
    for y in range(m, size - m):
        put(m, y, (40, 40, 40, 255)); put(size - m - 1, y, (40, 40, 40, 255))

    # Gray ramp under the plot, as the dialog draws it.
    ramp_h = max(2, round(4 * s))
    left, right = m + 1, size - m - 2
    for y in range(size - m - 1 - ramp_h, size - m - 1):
        for x in range(left, right + 1):
            k = round(255 * (x - left) / max(1, right - left))
            put(x, y, (k, k, k, 255))

    # Plot frame and a profile curve in the channel colours.
    top, base = m + round(3 * s), size - m - 2 - ramp_h - round(2 * s)
    for x in range(left + 1, right):
        put(x, base, (0, 0, 0, 255))
    curves = [((220, 0, 0), 0.0), ((0, 128, 0), 1.3), ((0, 0, 230), 2.6)]
    for colour, phase in curves:
        prev = None
        for x in range(left + 1, right):
            t = (x - left) / (right - left)
            v = 0.5 + 0.35 * math.sin(2 * math.pi * (1.2 * t) + phase) * (0.6 + 0.4 * t)
            y = round(base - 1 - v * (base - 1 - top))
            ys = [y] if prev is None else range(min(prev, y), max(prev, y) + 1)
            for yy in ys:
                put(x, yy, colour + (255,))
            prev = y
    return px


def icon_image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b''.join(
        bytes(
            sum((0x80 >> (x % 8)) for x in range(byte * 8, min(size, byte * 8 + 8)) if row[x][3] == 0)
            for byte in range(mask_row)
        )
        for row in reversed(px)
    )
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    Path(path).write_bytes(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).resolve().parent.parent / 'resources' / 'Ostravine.ico'))
