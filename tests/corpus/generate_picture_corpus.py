#!/usr/bin/env python3
"""Writes the corpus of malformed PNG and JPEG files and its manifest.

Each case has a defined outcome when the file is read as a picture:
  converted  the rows are decoded; the manifest gives the width (one melody note a column)
  error      refused with a one-line reason; the manifest gives a part of that reason
The PNG files are built here byte by byte; the JPEG cases are cut from the committed
source-*.jpg files, which ImageMagick made once.

  generate_picture_corpus.py DIR          write DIR/*.png, the derived DIR/*.jpg, manifest
  generate_picture_corpus.py --check DIR  exit 1 unless DIR holds exactly what would be written
"""

import argparse
import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from corpus_files import write_or_check  # noqa: E402

MANIFEST = "manifest.tsv"
SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data, crc=None):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", crc if crc is not None
                                                            else zlib.crc32(body))


def ihdr(width, height, depth=8, colour=2, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))


def rgb_rows(width, height):
    rows = b""
    for y in range(height):
        rows += b"\x00" + bytes((17 * x + 40 * y) % 256 for x in range(3 * width))
    return rows


def png(width=4, height=3, rows=None, head=None, tail=True):
    data = zlib.compress(rows if rows is not None else rgb_rows(width, height))
    out = SIGNATURE + (head if head is not None else ihdr(width, height))
    out += chunk(b"IDAT", data)
    return out + (chunk(b"IEND", b"") if tail else b"")


def bad_last_idat_crc():
    """Rows split over two IDAT chunks, the second one's checksum wrong."""
    data = zlib.compress(rgb_rows(4, 3))
    return (SIGNATURE + ihdr(4, 3) + chunk(b"IDAT", data[:10]) + chunk(b"IDAT", data[10:], crc=0)
            + chunk(b"IEND", b""))


class Case:
    def __init__(self, name, data, outcome, detail, what):
        self.name, self.data, self.outcome, self.detail, self.what = (
            name, data, outcome, detail, what)


def png_cases():
    good = png()
    idat = good.index(b"IDAT")
    return [
        Case("well-formed-4x3.png", good, "converted", "4", "a well-formed 4 x 3 RGB picture"),
        Case("no-iend.png", png(tail=False), "error", "ends before its end chunk",
             "every row there, the end chunk missing: cut short, as ImageMagick finds it"),
        Case("bad-last-idat-crc.png", bad_last_idat_crc(), "error", "invalid chunk checksum",
             "every row there, the checksum of the last chunk of rows wrong"),
        Case("cut-after-signature.png", SIGNATURE, "error", "PNG:", "the signature alone"),
        Case("cut-in-ihdr.png", good[:20], "error", "PNG:", "cut inside the header chunk"),
        Case("cut-in-idat.png", good[:idat + 12], "error", "PNG:",
             "cut inside the compressed rows"),
        Case("bad-header-crc.png", SIGNATURE + chunk(b"IHDR", ihdr(4, 3)[8:-4], crc=0) + good[33:],
             "error", "PNG:", "the header chunk's checksum is wrong"),
        Case("width-0.png", png(head=ihdr(0, 3), rows=b""), "error", "PNG:",
             "a header with width 0"),
        Case("bad-bit-depth.png", png(head=ihdr(4, 3, depth=3)), "error", "PNG:",
             "a bit depth PNG does not have"),
        Case("rows-not-deflate.png",
             SIGNATURE + ihdr(4, 3) + chunk(b"IDAT", b"\xff" * 40) + chunk(b"IEND", b""),
             "error", "PNG:", "the row data is not a deflate stream"),
        Case("rows-too-few.png", png(rows=rgb_rows(4, 2), head=ihdr(4, 3)), "error", "PNG:",
             "the compressed data ends a row early"),
        Case("palette-without-plte.png", png(rows=b"\x00\x00\x01" * 3, head=ihdr(2, 3, colour=3)),
             "error", "PNG:", "a palette picture without its palette"),
        Case("claims-huge-width.png", png(head=ihdr(100_000_000, 1), rows=b"\x00"), "error",
             "claims more pixel data", "a one-row header claiming a hundred million columns"),
    ]


def marker(data, code):
    return data.index(b"\xff" + bytes([code]))


def jpeg_cases(directory):
    def source(name):
        with open(os.path.join(directory, name), "rb") as f:
            return f.read()

    base = source("source-baseline-12x6.jpg")
    progressive = source("source-progressive-12x6.jpg")
    scan = marker(base, 0xDA)
    sof = marker(base, 0xC0)
    scrambled = bytearray(base)
    for i in range(scan + 20, len(base) - 2, 3):
        scrambled[i] = 0xFF if i % 2 else 0x00  # runs of markers and stuffing in the scan data
    zero_height = bytearray(base)
    zero_height[sof + 5:sof + 7] = b"\x00\x00"
    return [
        Case("source-baseline-12x6.jpg", base, "converted", "12", "baseline, 4:2:0"),
        Case("source-progressive-12x6.jpg", progressive, "converted", "12", "progressive"),
        Case("source-cmyk-12x6.jpg", source("source-cmyk-12x6.jpg"), "error", "CMYK",
             "four-component CMYK samples"),
        Case("cut-after-soi.jpg", base[:3], "error", "JPEG:",
             "the start-of-image marker and the next marker's first byte"),
        Case("cut-in-scan.jpg", base[:scan + 40], "error", "Premature end of JPEG file",
             "cut inside the baseline scan"),
        Case("cut-before-eoi.jpg", base[:-2], "error", "Premature end of JPEG file",
             "every scan there, the end-of-image marker missing"),
        Case("cut-in-progressive.jpg", progressive[:len(progressive) // 2], "error",
             "Premature end of JPEG file", "cut between the scans of a progressive picture"),
        Case("scrambled-scan.jpg", bytes(scrambled), "error", "Corrupt JPEG data",
             "scan data overwritten"),
        Case("height-0.jpg", bytes(zero_height), "error", "JPEG:", "a frame header with height 0"),
    ]


def write_manifest(cases):
    lines = ["# file\toutcome\twidth (converted) or part of the reason (error)\twhat it is"]
    lines += [f"{c.name}\t{c.outcome}\t{c.detail}\t{c.what}" for c in cases]
    return ("\n".join(lines) + "\n").encode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("directory")
    args = parser.parse_args()
    cases = png_cases() + jpeg_cases(args.directory)
    files = {c.name: c.data for c in cases}
    files[MANIFEST] = write_manifest(cases)
    return write_or_check(args.directory, files, args.check, "generate_picture_corpus.py")


if __name__ == "__main__":
    sys.exit(main())
