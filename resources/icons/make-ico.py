#!/usr/bin/env python3
"""Packs the program's PNG icons into one Windows .ico (PNG-compressed entries, which
Windows since Vista and Wine read at every size).

    make-ico.py OUTPUT.ico INPUT.png...
"""
import struct
import sys


def png_size(data: bytes) -> tuple[int, int]:
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main() -> None:
    output, inputs = sys.argv[1], sys.argv[2:]
    images = []
    for path in inputs:
        with open(path, "rb") as f:
            data = f.read()
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit(f"{path}: icons are at most 256 pixels wide")
        images.append((width, height, data))
    images.sort(key=lambda image: image[0])

    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory, payload = b"", b""
    for width, height, data in images:
        # 256 is stored as 0 in the one-byte size fields.
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                                 len(data), offset + len(payload))
        payload += data
    with open(output, "wb") as f:
        f.write(header + directory + payload)


if __name__ == "__main__":
    main()
