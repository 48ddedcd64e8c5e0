#!/usr/bin/env python3
"""Side by side for each converter given, measured in one run with the runs interleaved so
that every converter sees the same machine load:
  - the shared libraries a 16 x 4 picture to MIDI loads, and whether the program links
    FluidSynth or Cairo;
  - the median time of `--version` and of that 16 x 4 conversion, and their ratio;
  - the median time of 1,000,000 columns with chords;
  - the peak memory of 10,000,000 columns with chords (/usr/bin/time -v).

Usage: bench/start_and_memory.py [--runs N] CONVERTER [CONVERTER...]"""
import argparse
import os
import pathlib
import resource
import statistics
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent


def make_picture(width, height, path):
    subprocess.run([sys.executable, HERE / "make_picture.py", str(width), str(height), path],
                   check=True)


def timed(command, cwd):
    # Each run writes a new file, as a script converting picture after picture would: a file
    # that is replaced is synced to disk first, which would measure the disk instead.
    for name in ("small.mid", "million.mid"):
        pathlib.Path(cwd, name).unlink(missing_ok=True)
    start = time.perf_counter()
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def loaded_libraries(command, cwd):
    pathlib.Path(cwd, "small.mid").unlink(missing_ok=True)
    run = subprocess.run(command, cwd=cwd, check=True, capture_output=True,
                         env=dict(os.environ, LD_DEBUG="libs"))
    return sum("calling init:" in line for line in run.stderr.decode().splitlines())


def links_render_library(converter):
    dynamic = subprocess.run(["readelf", "-d", converter], check=True, capture_output=True)
    text = dynamic.stdout.decode()
    return "libfluidsynth" in text or "libcairo" in text


def peak_mib(command, cwd):
    run = subprocess.run(["/usr/bin/time", "-v", *command], cwd=cwd, check=True,
                         capture_output=True)
    for line in run.stderr.decode().splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1]) / 1024
    raise RuntimeError("no peak memory in the output of /usr/bin/time")


def children_cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def interleaved_medians(commands, runs, cwd, cpu=None):
    """Median wall time of each command; with `cpu` (a list), their median CPU times too,
    which a busy machine changes less."""
    times = [[] for _ in commands]
    cpu_times = [[] for _ in commands]
    for _ in range(runs):
        for i, command in enumerate(commands):
            before = children_cpu_seconds()
            times[i].append(timed(command, cwd))
            cpu_times[i].append(children_cpu_seconds() - before)
    if cpu is not None:
        cpu.extend(statistics.median(t) for t in cpu_times)
    return [statistics.median(t) for t in times]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=100, help="runs of the small cases")
    parser.add_argument("converters", nargs="+")
    args = parser.parse_args()
    converters = [str(pathlib.Path(c).resolve()) for c in args.converters]

    with tempfile.TemporaryDirectory(prefix="pixorale-bench-") as work:
        make_picture(16, 4, f"{work}/small.bmp")
        make_picture(1_000_000, 2, f"{work}/million.bmp")
        make_picture(10_000_000, 2, f"{work}/ten-million.bmp")
        midi = ["--quiet", "--seed", "1"]

        def small(c):
            return [c, *midi, "small.bmp", "-o", "small.mid"]

        def million(c):
            return [c, *midi, "--chords", "million.bmp", "-o", "million.mid"]

        def ten_million(c):
            return [c, *midi, "--force", "--chords", "ten-million.bmp", "-o", "ten-million.mid"]

        rows = {c: {} for c in converters}
        for c in converters:
            rows[c]["links FluidSynth/Cairo"] = "yes" if links_render_library(c) else "no"
            rows[c]["libraries loaded, 16x4 MIDI"] = loaded_libraries(small(c), work)
        # One loop for both, so that a change of load between them cannot show as a ratio.
        small_cases = interleaved_medians(
            [[c, "--version"] for c in converters] + [small(c) for c in converters], args.runs,
            work)
        versions, smalls = small_cases[:len(converters)], small_cases[len(converters):]
        million_cpu = []
        millions = interleaved_medians([million(c) for c in converters], 5, work, million_cpu)
        for i, c in enumerate(converters):
            rows[c]["--version median ms"] = f"{versions[i] * 1000:.2f}"
            rows[c]["16x4 MIDI median ms"] = f"{smalls[i] * 1000:.2f}"
            rows[c]["16x4 / own --version"] = f"{smalls[i] / versions[i]:.2f}"
            rows[c]["1M chords median s"] = f"{millions[i]:.3f}"
            rows[c]["1M chords median CPU s"] = f"{million_cpu[i]:.3f}"
            rows[c]["10M chords peak MiB"] = f"{peak_mib(ten_million(c), work):.0f}"
        # The reference of the start-up figure: --version of a build that links no render
        # library, the fastest such build given.
        lean = [versions[i] for i, c in enumerate(converters)
                if rows[c]["links FluidSynth/Cairo"] == "no"]
        if lean:
            for i, c in enumerate(converters):
                rows[c]["16x4 / lean --version"] = f"{smalls[i] / min(lean):.2f}"

    names = list(next(iter(rows.values())))
    width = max(map(len, names))
    for i, c in enumerate(converters):
        print(f"[{i + 1}] {c}")
    print(f"{'':{width}}" + "".join(f"{f'[{i + 1}]':>12}" for i in range(len(converters))))
    for name in names:
        print(f"{name:{width}}" + "".join(f"{str(rows[c][name]):>12}" for c in converters))


if __name__ == "__main__":
    main()
