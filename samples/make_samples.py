#!/usr/bin/env python3
"""Draws the bundled sample pictures (24-bit BMP) from simple formulas."""
import math
import struct
from pathlib import Path


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top of the picture."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for row in range(height):  # stored bottom row first
        y = height - 1 - row
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        rows += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + rows)


def sunset(x, y):
    # Warm sky over a dark sea; the sun sits in the middle.
    sun = math.hypot(x - 60, y - 22) < 9
    if y > 28:  # sea: the reflection ripples
        ripple = int(40 + 30 * math.sin(x / 3.0))
        return (ripple, 20, 90 + (x * 7) % 60)
    if sun:
        return (250, 200, 60)
    return (200 - y * 3 + (x % 12) * 4, 80 + y * 2, 120 - y * 2 + (x * 5) % 9)


def waves(x, y):
    level = 60 + 40 * math.sin(x / 5.0) + 20 * math.sin(x / 1.7)
    return (int(level) % 256, (x * 3) % 256, (x * x + y) % 256)


if __name__ == "__main__":
    here = Path(__file__).parent
    write_bmp(here / "sunset.bmp", 120, 40, sunset)
    write_bmp(here / "waves.bmp", 96, 16, waves)
