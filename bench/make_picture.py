#!/usr/bin/env python3
"""Writes a 24-bit BMP of WIDTH x HEIGHT pixels with varied pixel bytes, fast enough for
pictures of hundreds of megabytes: one pseudo-random row is made and repeated."""
import random
import struct
import sys


def main():
    width, height, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    stride = (width * 3 + 3) & ~3
    rng = random.Random(width * 31 + height)
    row = rng.randbytes(width * 3) + bytes(stride - width * 3)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", (54 + stride * height) & 0xFFFFFFFF, 0, 0, 54))
        out.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                              (stride * height) & 0xFFFFFFFF, 2835, 2835, 0, 0))
        for _ in range(height):
            out.write(row)


if __name__ == "__main__":
    main()
