#!/usr/bin/env python3
"""Draws the bundled sample pictures (24-bit BMP) from simple formulas.

    python3 samples/make_samples.py [DIR]    # DIR defaults to this script's folder

The pictures are the ones the examples in README.md, docs/ and the manual page convert."""
import math
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "corpus"))
import bmp_bytes  # noqa: E402


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top of the picture."""
    def stored(row, column):  # rows are stored bottom row first, as blue, green, red
        r, g, b = pixel(column, height - 1 - row)
        return (b, g, r)

    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(bmp_bytes.picture(width, height, pixel=stored))


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


def photo(x, y):
    # Green hills under a blue sky, darker towards the bottom.
    ridge = 14 + 6 * math.sin(x / 7.0) + 3 * math.sin(x / 2.3)
    if y < ridge:
        return (70 + (x * 3) % 40, 140 + y * 3, 230 - y * 2)
    return (50 + (x * 5) % 30, 150 - y * 2, 40 + (x * 11) % 70)


def melody(x, y):
    # Six notes: row 0 carries the pitches (red), the middle row the steps (blue). With
    # --resolution 480 --sustain 4 they make the 1380-tick song shown in docs/cli.md.
    reds = (60, 62, 64, 65, 65, 67)
    blues = (0, 1, 1, 8, 1, 8)
    return (reds[x], 0, blues[x])


def dawn(x, y):
    return (90 + x * 4 + y, 60 + y * 6, 150 - x * 2)


def dusk(x, y):
    return (160 - x * 3, 40 + (x * y) % 50, 80 + (x * 9) % 120)


def rain(x, y):
    drop = (x * 7 + y * 3) % 11 == 0
    return (200 if drop else 40 + x, 90, 60 + (x * 13) % 190)


PICTURES = {
    "sunset.bmp": (120, 40, sunset),
    "waves.bmp": (96, 16, waves),
    "photo.bmp": (64, 32, photo),
    "melody.bmp": (6, 2, melody),
    "pictures/dawn.bmp": (32, 8, dawn),
    "pictures/dusk.bmp": (40, 8, dusk),
    "pictures/rain.bmp": (24, 12, rain),
}


def main(argv):
    folder = Path(argv[1]) if len(argv) > 1 else Path(__file__).parent
    for name, (width, height, pixel) in PICTURES.items():
        write_bmp(folder / name, width, height, pixel)


if __name__ == "__main__":
    main(sys.argv)
