#!/usr/bin/env python3
"""Speed of --preset musical, side by side with its references:

  1. a 4032 x 3024 JPEG converted with --preset musical, against djpeg decoding it in full;
  2. a 16 x 4 BMP converted with --preset musical, against its plain conversion.

  bench/musical_speed.py CONVERTER [--runs N]

Runs alternate between the two sides and the median of each is taken (hear_see.py's way).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hear_see import compare, make_phone_photo  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("converter")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    converter = os.path.abspath(args.converter)
    work = tempfile.mkdtemp(prefix="pixorale-musical-speed-")
    try:
        def make(*command):
            subprocess.run(command, cwd=work, check=True, capture_output=True)

        make_phone_photo(make, "photo.jpg")
        make("convert", "-size", "16x4", "-seed", "5", "plasma:", "-type", "TrueColor",
             "BMP3:small.bmp")
        musical = [converter, "-f", "-q", "--no-settings", "--seed", "1", "--preset", "musical"]
        plain = [converter, "-f", "-q", "--no-settings", "--seed", "1"]
        compare("4032x3024 JPEG: --preset musical vs djpeg", musical + ["photo.jpg"],
                ["djpeg", "-outfile", "/dev/null", "photo.jpg"], work, args.runs)
        compare("16x4 BMP: --preset musical vs plain", musical + ["small.bmp"],
                plain + ["small.bmp"], work, args.runs)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
