"""Builds the bytes of BMP files, well-formed or not: the one BMP writer of the tests, the
fuzzing corpora, the bundled samples and the benchmarks."""

import struct

HEADER_SIZE = 54

# Offsets of the header fields, in file order: (name, offset, size).
HEADER_FIELDS = [
    ("signature", 0, 2),
    ("file-size", 2, 4),
    ("reserved1", 6, 2),
    ("reserved2", 8, 2),
    ("pixel-offset", 10, 4),
    ("info-size", 14, 4),
    ("width", 18, 4),
    ("height", 22, 4),
    ("planes", 26, 2),
    ("bit-count", 28, 2),
    ("compression", 30, 4),
    ("image-size", 34, 4),
    ("x-resolution", 38, 4),
    ("y-resolution", 42, 4),
    ("colours-used", 46, 4),
    ("colours-important", 50, 4),
]


def row_stride(width, bit_count=24):
    return (width * bit_count // 8 + 3) // 4 * 4


def header(width, height, data_size, bit_count=24, signature=b"BM", pixel_offset=HEADER_SIZE):
    """The 54 header bytes of a classic BMP whose rows take data_size bytes. Sizes past 4 GiB
    wrap, as a 32-bit field holds them."""
    file_size = (HEADER_SIZE + data_size) & 0xFFFFFFFF
    return signature + struct.pack(
        "<IHHIIiiHHIIiiII", file_size, 0, 0, pixel_offset, 40, width, height, 1, bit_count, 0,
        data_size & 0xFFFFFFFF, 2835, 2835, 0, 0)


def picture(width, height, bit_count=24, pixel=None, signature=b"BM", pixel_offset=HEADER_SIZE,
            settings=None):
    """A classic BMP: 14-byte file header, 40-byte info header, then the rows, bottom-up for a
    positive height. pixel(row, column) gives (blue, green, red); rows are stored only for
    24-bit pictures. `settings`, 15 bytes, replaces the resolutions and colour counts."""
    rows = abs(height)
    stride = row_stride(width) if bit_count == 24 else 0
    data = bytearray()
    for r in range(rows if bit_count == 24 else 0):
        row = bytearray()
        for c in range(width):
            row += bytes(pixel(r, c) if pixel else (0, 0, 0))
        row += bytes(stride - len(row))
        data += row
    head = header(width, height, len(data), bit_count, signature, pixel_offset)
    if settings is not None:
        head = head[:38] + bytes(settings) + head[53:]
    return head + bytes(data)


def patch(data, offset, value, size=4):
    """The same bytes with a little-endian field overwritten (any value, taken unsigned)."""
    out = bytearray(data)
    out[offset:offset + size] = (value % (1 << (8 * size))).to_bytes(size, "little")
    return bytes(out)


def settings_record(scale=0, sustain=16, tempo=120, timing=0, resolution=768, chords=0,
                    low=0, high=255):
    """A stored settings record, 15 little-endian bytes."""
    return struct.pack("<BIIBHBBB", scale, sustain, tempo, timing, resolution, chords, low, high)
