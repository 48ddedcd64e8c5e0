#!/usr/bin/env python3
"""Stacks a binary PPM picture (P6, 8-bit) COUNT times on top of itself and writes the result
as a PPM (for cjpeg) or, by the output's extension, as an 8-bit RGB PNG, without holding more
than one copy of the picture: pictures taller than ImageMagick's limits, for the memory
figures of bench/hear_see.sh.

  stack_picture.py IN.ppm COUNT OUT.ppm|OUT.png
"""
import struct
import sys
import zlib


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P6" and fields[3] == b"255", "an 8-bit binary PPM is needed"
    return int(fields[1]), int(fields[2]), data[at + 1:]


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def main():
    source, count, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    width, height, pixels = read_ppm(source)
    with open(target, "wb") as out:
        if target.endswith(".ppm"):
            out.write(b"P6\n%d %d\n255\n" % (width, height * count))
            for _ in range(count):
                out.write(pixels)
            return
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height * count, 8, 2, 0, 0, 0)))
        stride = width * 3
        rows = b"".join(b"\x00" + pixels[y * stride:(y + 1) * stride] for y in range(height))
        packer = zlib.compressobj(6)
        for _ in range(count):
            out.write(chunk(b"IDAT", packer.compress(rows)))
        out.write(chunk(b"IDAT", packer.flush()))
        out.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    main()
