#!/usr/bin/env python3
"""Pictures that are small on disk but costly to read, made when a test needs them rather
than kept in the tree: a PNG a hundred million columns wide, a PNG whose every row must be
inflated to reach the middle one, a progressive JPEG whose header claims more than the
decoder may hold.

  costly_pictures.py wide COLUMNS FILE        one-bit grey PNG, one row
  costly_pictures.py square SIDE FILE         one-bit grey PNG, SIDE x SIDE, every row there
  costly_pictures.py jpeg SOURCE WIDTH HEIGHT FILE
                                              progressive JPEG SOURCE claiming this size
"""

import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def grey1_png(width, height, compressed_rows):
    header = struct.pack(">IIBBBBB", width, height, 1, 0, 0, 0, 0)
    return (SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", compressed_rows)
            + chunk(b"IEND", b""))


def one_bit_rows(width, height):
    """Every row black, compressed a row at a time so that memory stays small."""
    row = b"\x00" + bytes((width + 7) // 8)
    compressor = zlib.compressobj(9)
    parts = [compressor.compress(row) for _ in range(height)]
    parts.append(compressor.flush())
    return b"".join(parts)


def wide_png(columns):
    return grey1_png(columns, 1, one_bit_rows(columns, 1))


def square_png(side):
    return grey1_png(side, side, one_bit_rows(side, side))


def progressive_jpeg(source, width, height):
    """A small progressive JPEG whose frame header claims another size: the decoder meets the
    size before any scan."""
    data = bytearray(source)
    frame = data.index(b"\xff\xc2")
    struct.pack_into(">HH", data, frame + 5, height, width)
    return bytes(data)


def main(args):
    kind, *rest, path = args
    if kind == "jpeg":
        with open(rest[0], "rb") as source:
            data = progressive_jpeg(source.read(), int(rest[1]), int(rest[2]))
    else:
        data = {"wide": wide_png, "square": square_png}[kind](int(rest[0]))
    with open(path, "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
