#!/usr/bin/env python3
"""Writes a 24-bit BMP of WIDTH x HEIGHT pixels with varied pixel bytes, fast enough for
pictures of hundreds of megabytes: one pseudo-random row is made and repeated."""
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "corpus"))
import bmp_bytes  # noqa: E402


def main():
    width, height, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    stride = (width * 3 + 3) & ~3
    rng = random.Random(width * 31 + height)
    row = rng.randbytes(width * 3) + bytes(stride - width * 3)
    with open(path, "wb") as out:
        out.write(bmp_bytes.header(width, height, stride * height))
        for _ in range(height):
            out.write(row)


if __name__ == "__main__":
    main()
