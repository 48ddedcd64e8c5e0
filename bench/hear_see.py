#!/usr/bin/env python3
"""Figures of PNG and JPEG input and of --wav, each side by side with its reference:

  1. a 4032 x 3024 JPEG (a phone photo) converted, against djpeg decoding it to /dev/null;
  2. the same picture as PNG converted, against a full decode by libspng (spng_full_decode);
  3. peak memory converting 4032 x 30240 against 4032 x 3024, PNG and baseline JPEG;
  4. --wav against FluidSynth's own fast render of the same MIDI file
     (fluidsynth -ni -F out.wav SOUNDFONT song.mid).

Runs alternate between the two sides and the median of each is taken.

  bench/hear_see.py CONVERTER SPNG_FULL_DECODE [--runs N]

Seen on the project's 2-core machine (RelWithDebInfo, other builds running beside it):
JPEG 0.052 s against djpeg's 0.065 s (0.81); PNG 0.189 s against 0.233 s (0.81); peak memory
of 4032 x 30240 against 4032 x 3024: 1.00 (PNG), 1.02 (JPEG), about 14 MiB, most of it the
shared libraries; --wav 0.68 (34 s of music) and 0.84 (17 min) of fluidsynth's time.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOUNDFONT = "/usr/share/sounds/sf2/default-GM.sf2"


def run(command, cwd):
    """Wall time in seconds and peak memory in MiB of one run. GNU time reports the peak: a
    child forked from this interpreter would count the interpreter's pages as its own."""
    report = os.path.join(cwd, "time.txt")
    before = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command], cwd=cwd,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    seconds = time.perf_counter() - before
    if done.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}")
    with open(report) as f:
        return seconds, int(f.read().split()[-1]) / 1024


def compare(title, ours, reference, cwd, runs):
    times, peaks = {"ours": [], "reference": []}, {"ours": [], "reference": []}
    for _ in range(runs):
        for side, command in (("ours", ours), ("reference", reference)):
            seconds, peak = run(command, cwd)
            times[side].append(seconds)
            peaks[side].append(peak)
    ours_s, ref_s = statistics.median(times["ours"]), statistics.median(times["reference"])
    print(f"{title}: {ours_s:.3f} s against {ref_s:.3f} s, ratio {ours_s / ref_s:.2f} "
          f"(peak {max(peaks['ours']):.1f} MiB against {max(peaks['reference']):.1f} MiB)")


def make_phone_photo(make, name):
    """A photo-like 4032 x 3024 JPEG: smooth areas and sensor-like noise, 4.9 MB."""
    make("convert", "-size", "1008x756", "-seed", "5", "plasma:fractal", "-resize",
         "4032x3024!", "-attenuate", "0.6", "+noise", "Gaussian", "-quality", "92",
         "-sampling-factor", "2x2", name)


def peak_of(command, cwd, runs):
    return max(run(command, cwd)[1] for _ in range(runs))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("converter")
    parser.add_argument("spng_full_decode")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    converter = os.path.abspath(args.converter)
    full_decode = os.path.abspath(args.spng_full_decode)
    work = tempfile.mkdtemp(prefix="pixorale-hear-see-")
    try:
        def make(*command):
            subprocess.run(command, cwd=work, check=True, capture_output=True)

        make_phone_photo(make, "photo.jpg")
        make("convert", "photo.jpg", "photo.png")
        make("djpeg", "-outfile", "photo.ppm", "photo.jpg")
        # Ten photos on top of each other: taller than ImageMagick will make.
        stack = os.path.join(HERE, "stack_picture.py")
        make(sys.executable, stack, "photo.ppm", "10", "tall.ppm")
        make("cjpeg", "-quality", "92", "-sample", "2x2", "-outfile", "tall.jpg", "tall.ppm")
        make(sys.executable, stack, "photo.ppm", "1", "flat.png")
        make(sys.executable, stack, "photo.ppm", "10", "tall.png")
        os.remove(os.path.join(work, "tall.ppm"))

        convert = [converter, "-f", "-q", "--seed", "1"]
        compare("4032x3024 JPEG: pixorale-convert vs djpeg", convert + ["photo.jpg"],
                ["djpeg", "-outfile", "/dev/null", "photo.jpg"], work, args.runs)
        compare("4032x3024 PNG: pixorale-convert vs full libspng decode",
                convert + ["photo.png"], [full_decode, "photo.png"], work, args.runs)
        for kind in ("png", "jpg"):
            short = peak_of(convert + [("flat." if kind == "png" else "photo.") + kind], work, 3)
            tall = peak_of(convert + ["tall." + kind], work, 3)
            print(f"peak memory {kind.upper()}: 4032x30240 {tall:.1f} MiB, 4032x3024 "
                  f"{short:.1f} MiB, ratio {tall / short:.2f}")

        for name, picture in (("sample sunset.bmp (34 s of music)",
                               os.path.join(HERE, "..", "samples", "sunset.bmp")),
                              ("4032-column photo (17 min of music)",
                               os.path.join(work, "photo.jpg"))):
            shutil.copy(picture, os.path.join(work, "song-source"))
            make(converter, "-f", "-q", "--seed", "1", "--chords", "song-source", "-o", "song.mid")
            compare(f"--wav, {name}: pixorale-convert vs fluidsynth -ni -F",
                    convert + ["--chords", "song-source", "-o", "ours.mid", "--wav", "ours.wav"],
                    ["fluidsynth", "-ni", "-F", "reference.wav", SOUNDFONT, "song.mid"], work,
                    max(1, args.runs // 2))
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
