#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora: a few small pictures whose unused header bytes carry
different settings records (see fuzz_bmp_convert.cpp), and a few stored settings records."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "corpus"))
from bmp_bytes import patch, picture, settings_record  # noqa: E402


def melody(red_step, blue_step):
    return lambda row, column: ((blue_step * column + row) % 256, 0, (red_step * column) % 256)


PICTURES = {
    "defaults-8x3": picture(8, 3, pixel=melody(37, 5), settings=settings_record()),
    "harmonic-minor-range-5x2": picture(
        5, 2, pixel=melody(61, 3),
        settings=settings_record(scale=2, sustain=4, resolution=480, chords=1, low=40, high=90)),
    "millisecond-long-sustain-6x1": picture(
        6, 1, pixel=melody(200, 17),
        settings=settings_record(scale=8, sustain=0xFFFFFFFF, tempo=0, timing=1,
                                 resolution=65535)),
    "fast-tempo-no-sustain-3x4": picture(
        3, 4, pixel=melody(129, 8),
        settings=settings_record(scale=12, sustain=0, tempo=100_000_000, resolution=7)),
    "top-down-4x2": picture(4, -2, pixel=melody(90, 2), settings=settings_record(chords=1)),
    "rows-missing-2x300": patch(picture(2, 2, pixel=melody(70, 1)), 22, 300),
    "width-0": picture(0, 3),
    "8-bit": picture(4, 3, bit_count=8),
    "header-cut-29": picture(4, 3)[:29],
}

SETTINGS = {
    "defaults": settings_record(),
    "empty": b"",
    "scale-only": bytes([5]),
    "fourteen-bytes": settings_record(scale=1, sustain=2, tempo=60, resolution=480)[:14],
    "twenty-bytes": settings_record(scale=3, sustain=8, tempo=90, chords=1, low=10, high=200)
    + bytes([9] * 5),
    "tempo-zero": settings_record(tempo=0),
    "all-ff": bytes([0xFF] * 15),
}


def write(directory, files, extension):
    os.makedirs(directory, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(directory, name + extension), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write(os.path.join(HERE, "bmp"), PICTURES, ".bmp")
    write(os.path.join(HERE, "settings"), SETTINGS, ".set")
