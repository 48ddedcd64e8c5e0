#!/usr/bin/env python3
"""Figures of the WAV's normalisation: the normalised render (the default: rendered into a
temporary file of samples, its peak found, then written) against the same song at a fixed
gain (--gain 0: written as it is rendered), wall time and peak memory side by side.

  bench/wav_loudness.py CONVERTER [--runs N]

Songs: the sample sunset.bmp with chords (34 s of music) and a 1600-column photo-like picture
with chords (6 min 52 s). Runs alternate between the two sides and the median of each is
taken; the normalised render should take at most 1.6 times as long.

Seen on the project's 2-core machine (RelWithDebInfo, other builds running beside it): 34 s
normalised 0.673 s against 0.733 s at --gain 0 (0.92); 6 min 52 s, 6.58 s against 7.02 s
(0.94); peak memory 48.4 against 48.3 MiB and 48.6 against 48.7 MiB. The synthesizer's time
is all but the whole of either: the temporary file costs less than the noise between runs.
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


def run(command, cwd):
    """Wall time in seconds and peak memory in MiB of one run, as GNU time reports them."""
    report = os.path.join(cwd, "time.txt")
    before = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command], cwd=cwd,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    seconds = time.perf_counter() - before
    if done.returncode != 0:
        sys.exit(f"failed: {' '.join(command)}")
    with open(report) as f:
        return seconds, int(f.read().split()[-1]) / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("converter")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    converter = os.path.abspath(args.converter)
    work = tempfile.mkdtemp(prefix="pixorale-wav-loudness-")
    try:
        shutil.copy(os.path.join(HERE, "..", "samples", "sunset.bmp"), work)
        subprocess.run(["convert", "-size", "400x300", "-seed", "5", "plasma:fractal", "-resize",
                        "1600x1200!", "-attenuate", "0.6", "+noise", "Gaussian", "-quality", "92",
                        "photo.jpg"], cwd=work, check=True, capture_output=True)
        for name, picture in (("sunset.bmp, 34 s of music", "sunset.bmp"),
                              ("1600-column photo, 6 min 52 s", "photo.jpg")):
            common = [converter, "-f", "-q", "--seed", "1", "--chords", picture, "-o", "s.mid",
                      "--wav", "s.wav"]
            sides = {"normalised": common, "--gain 0": common + ["--gain", "0"]}
            times = {side: [] for side in sides}
            peaks = {side: [] for side in sides}
            for _ in range(args.runs):
                for side, command in sides.items():
                    seconds, peak = run(command, work)
                    times[side].append(seconds)
                    peaks[side].append(peak)
            normalised = statistics.median(times["normalised"])
            fixed = statistics.median(times["--gain 0"])
            print(f"{name}: normalised {normalised:.3f} s, --gain 0 {fixed:.3f} s, ratio "
                  f"{normalised / fixed:.2f} (peak memory {max(peaks['normalised']):.1f} MiB "
                  f"against {max(peaks['--gain 0']):.1f} MiB)")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
