#!/usr/bin/env python3
"""Writes the corpus of malformed BMP files and its manifest.

Each case has a defined outcome of a conversion run with the default settings:
  converted        the picture is converted and a MIDI file written; the manifest gives the
                   number of melody notes (one per column of a picture with rows)
  not-24-bit       refused with the 24-bit message; the manifest gives the bit count read
  claims-too-much  the header claims far more pixel data than the file holds; the run ends
                   without a message
A converted file may name another whose MIDI file must be the same byte for byte: the
header fields the reader does not look at change nothing.

  generate_bmp_corpus.py DIR          write DIR/*.bmp and DIR/manifest.tsv
  generate_bmp_corpus.py --check DIR  exit 1 unless DIR holds exactly what would be written
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_bytes import HEADER_FIELDS, HEADER_SIZE, patch, picture  # noqa: E402
from corpus_files import write_or_check  # noqa: E402

MANIFEST = "manifest.tsv"


def colourful(row, column):
    return (8 * column + row, 40 + row, 48 + 5 * column)


class Case:
    def __init__(self, name, data, outcome, number, what, same=None):
        self.name, self.data, self.outcome = name + ".bmp", data, outcome
        self.number, self.what, self.same = number, what, same


WELL_FORMED = "well-formed-4x3.bmp"
ALL_ZERO = "cut-at-54.bmp"  # the 4 x 3 header with every row zero
NO_COLUMNS = "width-0.bmp"


def converted(name, data, notes, what, same=None):
    return Case(name, data, "converted", notes, what, same)


def cases():
    base = picture(4, 3, pixel=colourful)  # 4 columns, rows of 12 bytes, no padding
    out = [converted("well-formed-4x3", base, 4, "a well-formed 4 x 3 picture")]

    # A header cut at every field boundary, and inside the fields the reader takes. A field
    # counts only when all its bytes are there: below offset 30 the bit count is missing.
    boundaries = {offset for _, offset, _ in HEADER_FIELDS} | {HEADER_SIZE}
    for cut in sorted(boundaries | {20, 24, 29}):
        field = next((name for name, offset, size in HEADER_FIELDS
                      if offset <= cut < offset + size), "pixel data")
        where = "at the start of" if cut in boundaries else "inside"
        what = f"cut after {cut} bytes, {where} {field}"
        name = f"cut-at-{cut:02d}"
        if cut < 30:
            out.append(Case(name, base[:cut], "not-24-bit", 0, what))
        else:
            same = ALL_ZERO if name + ".bmp" != ALL_ZERO else None
            out.append(converted(name, base[:cut], 4, what + "; rows read as zero", same))
    out.append(converted("cut-inside-row-1", base[:HEADER_SIZE + 12 + 5], 4,
                         "cut inside the second row; the rest reads as zero"))

    out += [
        converted("width-0", picture(0, 3), 0, "width 0: rows of no bytes, no notes"),
        converted("height-0", picture(4, 0), 0, "height 0: no rows, no notes", NO_COLUMNS),
        converted("width-0-height-0", picture(0, 0), 0, "no pixels at all", NO_COLUMNS),
        Case("huge-width", patch(base, 18, 0x7FFFFFFF), "claims-too-much", 0,
             "width 2^31 - 1 over 36 bytes of pixels"),
        Case("huge-width-unsigned", patch(base, 18, 0xFFFFFFFF), "claims-too-much", 0,
             "width 2^32 - 1, negative if read signed"),
        Case("width-times-3-wraps-32-bits", patch(patch(base, 18, 0x55555556), 22, 1),
             "claims-too-much", 0, "width * 3 is 2^32 + 2: a 32-bit row size would be 4 bytes"),
        Case("huge-height", patch(base, 22, 0x7FFFFFFF), "claims-too-much", 0,
             "height 2^31 - 1 over 36 bytes of pixels"),
        Case("huge-width-and-height", patch(patch(base, 18, 0xFFFFFFFF), 22, 0x7FFFFFFF),
             "claims-too-much", 0, "width 2^32 - 1, height 2^31 - 1"),
        converted("negative-height", picture(4, -3, pixel=colourful), 4,
                  "height -3: a top-down picture, its rows kept in file order", WELL_FORMED),
        Case("most-negative-height", patch(base, 22, -0x80000000), "claims-too-much", 0,
             "height -2^31: 2^31 rows of 12 bytes"),
        converted("most-negative-height-width-0", patch(picture(0, 1), 22, -0x80000000), 0,
                  "height -2^31 and width 0: 2^31 empty rows", NO_COLUMNS),
        converted("height-beyond-the-file", patch(base, 22, 1000), 4,
                  "1000 rows claimed, 3 present: the missing rows read as zero"),
    ]

    for bits in (0, 1, 4, 8, 16, 32, 0xFFFF):
        out.append(Case(f"bit-count-{bits}", picture(4, 3, bit_count=bits), "not-24-bit", bits,
                        f"bit count {bits}"))
    out.append(converted("bit-count-24-in-an-8-bit-file",
                         patch(picture(4, 3, bit_count=8), 28, 24, 2), 4,
                         "24-bit header without pixel data: rows read as zero", ALL_ZERO))

    unread = [
        ("pixel-offset-past-the-end", patch(base, 10, len(base) + 1),
         "pixel-data offset one past the end: rows taken from offset 54"),
        ("pixel-offset-huge", patch(base, 10, 0xFFFFFFFF),
         "pixel-data offset 2^32 - 1: rows taken from offset 54"),
        ("pixel-offset-inside-header", patch(base, 10, 10),
         "pixel-data offset inside the header: rows taken from offset 54"),
        ("signature-xx", b"XX" + base[2:], "signature \"XX\": not looked at"),
        ("signature-mb", b"MB" + base[2:], "signature reversed"),
        ("signature-zero", b"\0\0" + base[2:], "signature of zero bytes"),
        ("signature-png", b"\x89PNG\r\n\x1a\n" + base[8:], "a PNG signature over the file header"),
        ("compression-rle8", patch(base, 30, 1), "compression set: rows taken as they are"),
        ("info-size-12", patch(base, 14, 12), "info header size of the old 12-byte form"),
        ("planes-0", patch(base, 26, 0, 2), "planes 0: not looked at"),
        ("file-size-huge", patch(base, 2, 0xFFFFFFFF), "file size 2^32 - 1: not looked at"),
        ("garbage-after-rows", base + bytes(range(256)), "256 bytes after the last row"),
    ]
    out += [converted(name, data, 4, what, WELL_FORMED) for name, data, what in unread]
    out.append(converted("pixel-offset-at-the-end", patch(base, 10, len(base)), 4,
                         "pixel-data offset at the end of the file: every row reads as zero",
                         ALL_ZERO))
    return out


def expected_files():
    files = {}
    lines = ["# file\toutcome\tbit count (not-24-bit) or melody notes (converted)"
             "\tsame MIDI file as\twhat it is"]
    for case in cases():
        files[case.name] = case.data
        lines.append(f"{case.name}\t{case.outcome}\t{case.number}\t{case.same or '-'}"
                     f"\t{case.what}")
    files[MANIFEST] = ("\n".join(lines) + "\n").encode()
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare instead of writing")
    parser.add_argument("directory")
    args = parser.parse_args()
    return write_or_check(args.directory, expected_files(), args.check,
                          "generate_bmp_corpus.py")


if __name__ == "__main__":
    sys.exit(main())
