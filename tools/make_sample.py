#!/usr/bin/env python3
"""Draws the sample image the main command opens: a 24-bit BMP with structure a profile
shows, a colour gradient, bars of each channel, a ring and a checkered strip. Writes
host/samples/sample.bmp; run it again after changing the drawing."""
import math
import struct
from pathlib import Path

WIDTH, HEIGHT = 240, 180


def pixel(x, y):
    r, g, b = 40 + x * 160 // WIDTH, 60, 40 + y * 160 // HEIGHT
    if 20 <= y < 60:
        bar = x // 40
        if bar < 3:
            r, g, b = [(230, 40, 40), (40, 200, 60), (50, 70, 230)][bar]
    d = math.hypot(x - 150, y - 110)
    if 28 <= d < 40:
        r, g, b = 250, 230, 90
    elif d < 14:
        r, g, b = 20, 20, 20
    if 140 <= y < 160 and x < 100:
        v = 235 if (x // 10 + y // 10) % 2 else 25
        r, g, b = v, v, v
    return bytes((b, g, r))


def bmp():
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = b"".join(b"".join(pixel(x, y) for x in range(WIDTH)).ljust(stride, b"\0")
                    for y in reversed(range(HEIGHT)))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + rows


if __name__ == "__main__":
    out = Path(__file__).resolve().parent.parent / "host" / "samples" / "sample.bmp"
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(bmp())
