"""PNG and JPEG input, the WAV and the piano roll, the voices of the two parts. Pictures are
made by ImageMagick, WAV files read by Python's wave module, MIDI files by mido."""

import array
import json
import math
import os
import pathlib
import re
import resource
import shutil
import subprocess
import sys
import unittest
import wave

import mido

from e2e_support import (CONVERTER, SOURCE_DIR, WORKED_BLUES, WORKED_REDS, ConverterTest,
                         melody_bmp)

sys.path.insert(0, str(SOURCE_DIR / "tests" / "corpus"))
import costly_pictures  # noqa: E402

WORKED = ["--resolution", "480", "--sustain", "4", "--seed", "1"]
WORKED_SECONDS = 1.4375  # 1380 ticks at 480 per quarter note, 120 beats per minute
RELEASE_TAIL = 2.0


def imagemagick(*args):
    subprocess.run(["convert", *map(str, args)], check=True, capture_output=True)


def pixel(path, x, y):
    """(red, green, blue) of one pixel, as ImageMagick reads it."""
    run = subprocess.run(["convert", str(path), "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],"
                          f"%[fx:int(255*p{{{x},{y}}}.g)],%[fx:int(255*p{{{x},{y}}}.b)]",
                          "info:"], check=True, capture_output=True)
    return tuple(int(v) for v in run.stdout.decode().split(","))


class PhotoInput(ConverterTest):
    """A PNG or JPEG converts exactly as the 24-bit BMP ImageMagick saves from it."""

    CASES = [
        ("rgb.png", ["-size", "61x37", "plasma:red-blue"]),
        ("grey16.png", ["-size", "40x21", "plasma:", "-colorspace", "Gray", "-depth", "16"]),
        ("interlaced.png", ["-size", "45x33", "plasma:", "-interlace", "PNG"]),
        ("photo.jpg", ["-size", "97x61", "plasma:", "-quality", "90"]),
        ("progressive.jpg", ["-size", "64x48", "plasma:", "-interlace", "JPEG"]),
    ]

    def test_png_and_jpeg_give_the_file_of_their_bmp(self):
        for name, draw in self.CASES:
            with self.subTest(picture=name):
                imagemagick("-seed", "4", *draw, self.dir / name)
                imagemagick(self.dir / name, "-type", "TrueColor", f"BMP3:{self.dir / name}.bmp")
                self.convert(name, "-o", f"{name}.mid", "--chords", *WORKED)
                self.convert(f"{name}.bmp", "-o", f"{name}.bmp.mid", "--chords", *WORKED)
                self.assertEqual((self.dir / f"{name}.mid").read_bytes(),
                                 (self.dir / f"{name}.bmp.mid").read_bytes())

    def test_damaged_jpeg_is_one_error_line_naming_the_file(self):
        imagemagick("-size", "64x48", "plasma:", self.dir / "whole.jpg")
        data = (self.dir / "whole.jpg").read_bytes()
        self.write("cut.jpg", data[:len(data) // 2])
        run = self.run_converter("cut.jpg")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: cut.jpg: JPEG: Premature end of JPEG file"])
        self.assertFalse((self.dir / "cut.mid").exists())


class CostlyPictures(ConverterTest):
    """Pictures small on disk that would cost gigabytes or minutes are refused from their
    header, with the option that raises the limit."""

    def test_a_picture_too_wide_fails_its_input_alone_under_an_address_space_limit(self):
        if "ASAN_OPTIONS" in os.environ:
            # AddressSanitizer reserves terabytes of address space for its shadow memory at
            # start, so no address-space limit can apply to a sanitized converter.
            self.skipTest("the converter is built with AddressSanitizer")
        self.write("w119m.png", costly_pictures.wide_png(119_000_000))
        self.write("s1.bmp", melody_bmp([60, 62]))
        limit = 8_000_000 * 1024  # ulimit -v 8000000

        def limit_address_space():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        with open(self.dir / "out.txt", "wb") as out, open(self.dir / "err.txt", "wb") as err:
            process = subprocess.Popen([CONVERTER, "-j", "2", "--json", "w119m.png", "s1.bmp"],
                                       cwd=self.dir, stdout=out, stderr=err,
                                       stdin=subprocess.DEVNULL, preexec_fn=limit_address_space)
            # The converter's own peak memory, which decoding the picture would have raised.
            _, status, usage = os.wait4(process.pid, 0)
            process.returncode = os.waitstatus_to_exitcode(status)
        self.assertEqual(process.returncode, 1, (self.dir / "err.txt").read_text())
        records = {r["input"]: r for r in
                   map(json.loads, (self.dir / "out.txt").read_text().splitlines())}
        self.assertTrue(records["s1.bmp"]["converted"])
        self.assertFalse(records["w119m.png"]["converted"])
        self.assertEqual(records["w119m.png"]["error"],
                         "w119m.png: PNG: too wide to convert: 119000000 columns, the limit is "
                         "16777216; raise it with --max-columns")
        # Refused from the header, not after decoding: one row alone would take 357 MB.
        self.assertLess(usage.ru_maxrss * 1024, 100_000_000)
        self.assertFalse((self.dir / "w119m.mid").exists())

    def test_a_png_too_large_to_decode_is_refused_from_its_header(self):
        self.write("square.png", costly_pictures.square_png(20_000))
        run = self.run_converter("square.png")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run), [
            "pixorale-convert: square.png: PNG: too large to decode: 20000 x 20000 = 400000000 "
            "pixels, the limit is 128000000; raise it with --max-area"])

    def test_max_columns_and_max_area_set_the_limits(self):
        imagemagick("-size", "5x3", "xc:red", self.dir / "small.png")
        cases = [
            (["--max-columns", "4"], "too wide to convert: 5 columns, the limit is 4; raise it "
             "with --max-columns"),
            (["--max-area", "14"], "too large to decode: 5 x 3 = 15 pixels, the limit is 14; "
             "raise it with --max-area"),
            (["--max-columns", "5", "--max-area", "15"], None),
        ]
        for options, refusal in cases:
            with self.subTest(options=options):
                run = self.run_converter("small.png", "-f", *options)
                if refusal is None:
                    self.assertEqual(run.returncode, 0, run.stderr.decode())
                else:
                    self.assertEqual(self.error_lines(run),
                                     [f"pixorale-convert: small.png: PNG: {refusal}"])

    def test_a_progressive_jpeg_too_large_says_by_how_much(self):
        imagemagick("-size", "16x16", "xc:gray", "-interlace", "JPEG", self.dir / "small.jpg")
        self.write("huge.jpg", costly_pictures.progressive_jpeg(
            (self.dir / "small.jpg").read_bytes(), 40_000, 40_000))
        run = self.run_converter("huge.jpg")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run), [
            "pixorale-convert: huge.jpg: JPEG: too large to decode: 40000 x 40000 needs "
            "3052 MiB, 2028 MiB over the limit of 1024 MiB"])


class WavAndPianoRoll(ConverterTest):
    def setUp(self):
        super().setUp()
        self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))

    def test_wav_plays_for_the_song_plus_the_tail_and_is_not_silent(self):
        self.convert("melody.bmp", "--wav", "melody.wav", *WORKED)
        with wave.open(str(self.dir / "melody.wav")) as wav:
            self.assertEqual((wav.getframerate(), wav.getnchannels(), wav.getsampwidth()),
                             (44100, 2, 2))
            self.assertEqual(wav.getnframes(), round((WORKED_SECONDS + RELEASE_TAIL) * 44100))
            samples = array.array("h", wav.readframes(wav.getnframes()))
        during_song = samples[:int(WORKED_SECONDS * 44100) * 2]
        loudness = math.sqrt(sum(s * s for s in during_song) / len(during_song))
        self.assertGreater(loudness, 100)

    def test_a_silent_wav_is_made_and_said_to_be_silent(self):
        # The quietest notes sound below the smallest sample: normalising cannot help.
        run = self.convert("melody.bmp", "--wav", "quiet.wav", "--velocity", "1", *WORKED)
        self.assertEqual(self.error_lines(run), [
            "pixorale-convert: warning: quiet.wav: the song is silent; the SoundFont made no "
            "sound of it"])
        self.assertTrue((self.dir / "quiet.wav").exists())

    def test_same_song_gives_the_same_wav(self):
        self.convert("melody.bmp", "--wav", "a.wav", "-o", "a.mid", *WORKED)
        self.convert("melody.bmp", "--wav", "b.wav", "-o", "b.mid", *WORKED)
        self.assertEqual((self.dir / "a.wav").read_bytes(), (self.dir / "b.wav").read_bytes())

    def test_piano_roll_shows_every_note_where_it_sounds(self):
        self.convert("melody.bmp", "--piano-roll", "roll.png", *WORKED)
        # 36 px margin, 40 px a second; pitches 60 to 67 with 3 more on either side, in rows
        # of 12 px under a 24 px margin.
        width, height = (int(v) for v in subprocess.run(
            ["identify", "-format", "%w %h", str(self.dir / "roll.png")],
            check=True, capture_output=True).stdout.split())
        self.assertEqual(height, 24 + (70 - 57 + 1) * 12 + 24)
        melody_blue = (38, 97, 217)
        for start, end, pitch in [(0, 240, 60), (660, 900, 65), (1140, 1380, 67)]:
            middle = (start + end) / 2 / 960  # seconds
            x, y = int(36 + middle * 40), 24 + (70 - pitch) * 12 + 5
            self.assertLess(x, width)
            got = pixel(self.dir / "roll.png", x, y)
            self.assertTrue(all(abs(a - b) <= 3 for a, b in zip(got, melody_blue)), (pitch, got))
        # Pitch 60 at 1.2 s, after its note has ended.
        self.assertNotEqual(pixel(self.dir / "roll.png", int(36 + 1.2 * 40), 24 + 10 * 12 + 5),
                            melody_blue)

    def test_info_and_json_name_the_files_made(self):
        run = self.convert("melody.bmp", "--wav", "m.wav", "--piano-roll", "m.png", "--info",
                           *WORKED)
        self.assertTrue(run.stdout.decode().endswith(
            ", pitches 60 to 67, WAV m.wav, piano roll m.png\n"), run.stdout)
        run = self.convert("melody.bmp", "-f", "--wav", "m.wav", "--json", *WORKED)
        record = json.loads(run.stdout)
        self.assertEqual((record["lowest_pitch"], record["highest_pitch"], record["wav"]),
                         (60, 67, "m.wav"))

    def test_missing_soundfont_is_a_usage_error_before_anything_is_written(self):
        run = self.run_converter("melody.bmp", "--wav", "m.wav", "--soundfont", "none.sf2")
        self.assertEqual(run.returncode, 2)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: none.sf2: cannot be opened: No such file or directory"])
        self.assertFalse((self.dir / "melody.mid").exists())

    def test_existing_wav_is_kept_without_force(self):
        self.write("m.wav", b"keep me")
        run = self.run_converter("melody.bmp", "--wav", "m.wav")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: m.wav: already exists; use -f/--force to replace it"])
        self.assertEqual((self.dir / "m.wav").read_bytes(), b"keep me")


class LeanStart(ConverterTest):
    """FluidSynth and Cairo are loaded with the render module, only when a WAV or a piano roll
    is asked for; without the module those outputs are refused in one line."""

    RENDER_LIBRARIES = ("libfluidsynth", "libcairo")

    def loaded_libraries(self, *args):
        """The dynamic loader's account of the run (every library it initialised)."""
        run = subprocess.run([CONVERTER, *map(str, args)], cwd=self.dir, capture_output=True,
                             stdin=subprocess.DEVNULL, check=False, timeout=120,
                             env=dict(os.environ, LD_DEBUG="libs"))
        self.assertEqual(run.returncode, 0, run.stderr.decode()[-2000:])
        return [line for line in run.stderr.decode().splitlines() if "calling init:" in line]

    def test_midi_only_loads_no_render_library(self):
        self.write("in.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        loaded = "\n".join(self.loaded_libraries("in.bmp", "-o", "out.mid", *WORKED))
        for library in self.RENDER_LIBRARIES:
            self.assertNotIn(library, loaded)

    def test_piano_roll_loads_them(self):
        self.write("in.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        loaded = "\n".join(self.loaded_libraries("in.bmp", "-o", "out.mid", "--piano-roll",
                                                  "roll.png", *WORKED))
        for library in self.RENDER_LIBRARIES:
            self.assertIn(library, loaded)

    def test_without_the_module_renders_are_refused_in_one_line_and_nothing_is_written(self):
        alone = self.dir / "alone"
        alone.mkdir()
        shutil.copy(CONVERTER, alone / "pixorale-convert")
        self.write("in.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        for option, output, refusal in (("--piano-roll", "roll.png", "piano rolls are"),
                                        ("--wav", "song.wav", "WAV output is")):
            with self.subTest(option=option):
                run = subprocess.run([alone / "pixorale-convert", "--force", "in.bmp", "-o",
                                      "out.mid", option, output, *WORKED], cwd=self.dir,
                                     capture_output=True, stdin=subprocess.DEVNULL, timeout=120,
                                     check=False)
                self.assertEqual(run.returncode, 1)
                lines = self.error_lines(run)
                self.assertEqual(len(lines), 1, lines)
                # The module is looked for in LIBDIR/pixorale beside the program's folder.
                self.assertRegex(lines[0], "^" + re.escape(
                    f"pixorale-convert: {output}: {refusal} not available: {self.dir}/lib") +
                    r"[^:]*/pixorale/pixorale-render\.so: cannot open shared object file: "
                    "No such file or directory$")
                # An input's files appear together or not at all.
                self.assertFalse((self.dir / "out.mid").exists())
                self.assertFalse((self.dir / output).exists())

    def test_a_module_cut_short_is_refused_in_one_line(self):
        """A damaged module would be mapped all the same and kill the program (SIGBUS) at its
        first touch past the end; its size is checked against its own headers first."""
        converter = pathlib.Path(CONVERTER).absolute()
        module = next(converter.parent.parent.rglob("pixorale-render.so"))
        whole = module.read_bytes()
        alone = self.dir / "alone" / "bin"
        alone.mkdir(parents=True)
        shutil.copy(converter, alone / "pixorale-convert")
        cut_module = alone / os.path.relpath(module, converter.parent)
        cut_module.parent.mkdir(parents=True)
        self.write("in.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        for size in (1_000, 20_000, 50_000, len(whole) // 2):
            cut_module.write_bytes(whole[:size])
            for option, output in (("--wav", "song.wav"), ("--piano-roll", "roll.png")):
                with self.subTest(size=size, option=option):
                    run = subprocess.run([alone / "pixorale-convert", "in.bmp", "-o", "out.mid",
                                          option, output, *WORKED], cwd=self.dir,
                                         capture_output=True, stdin=subprocess.DEVNULL,
                                         timeout=120, check=False)
                    self.assertEqual(run.returncode, 1, run.stderr.decode())
                    lines = self.error_lines(run)
                    self.assertEqual(len(lines), 1, lines)
                    self.assertRegex(lines[0], re.escape(
                        f"{os.path.normpath(cut_module)}: cut short: {size} bytes where its "
                        f"headers need {len(whole)}") + "$")
                    self.assertFalse((self.dir / "out.mid").exists())


class Voices(ConverterTest):
    def setUp(self):
        super().setUp()
        self.write("melody.bmp", melody_bmp([60, 64, 67, 72, 71, 65]))

    def voices(self, path):
        """{channel: (programs, note-on velocities)} as mido reads the file."""
        found = {}
        for track in mido.MidiFile(str(path)).tracks:
            for message in track:
                if message.type in ("program_change", "note_on"):
                    programs, velocities = found.setdefault(message.channel, (set(), set()))
                    if message.type == "program_change":
                        programs.add(message.program)
                    else:
                        velocities.add(message.velocity)
        return found

    def test_programs_and_velocities_reach_the_file(self):
        self.convert("melody.bmp", "--chords", "--program", "40", "--velocity", "70",
                     "--chord-program", "0", "--chord-velocity", "127", *WORKED)
        self.assertEqual(self.voices(self.dir / "melody.mid"),
                         {0: ({40}, {70}), 1: ({0}, {127})})

    def test_left_out_they_change_nothing(self):
        self.convert("melody.bmp", "--chords", "-o", "plain.mid", *WORKED)
        self.convert("melody.bmp", "--chords", "-o", "same.mid", "--program", "0", "--velocity",
                     "100", "--chord-program", "99", "--chord-velocity", "100", *WORKED)
        self.assertEqual((self.dir / "plain.mid").read_bytes(),
                         (self.dir / "same.mid").read_bytes())
        self.assertEqual(self.voices(self.dir / "plain.mid"), {0: ({0}, {100}), 1: ({99}, {100})})

    def test_velocity_zero_is_refused(self):
        run = self.run_converter("melody.bmp", "--velocity", "0")
        self.assertEqual(run.returncode, 2)
        self.assertIn("'0' is not a whole number from 1 to 127", run.stderr.decode())



def wav_samples(path):
    """Both channels' 16-bit samples, interleaved, as Python's wave module reads them."""
    with wave.open(str(path)) as wav:
        return array.array("h", wav.readframes(wav.getnframes()))


def peak_dbfs(samples):
    return 20 * math.log10(max(abs(s) for s in samples) / 32768)


class WavLoudness(ConverterTest):
    """The WAV is normalised to a -1 dBFS peak without a constant offset; --gain DB plays it at
    a fixed gain instead."""

    def setUp(self):
        super().setUp()
        self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))

    def test_normalised_peak_is_minus_one_dbfs_and_the_mean_near_zero(self):
        for name, extra in (("melody", []), ("chord pad", ["--chords"])):
            with self.subTest(song=name):
                self.convert("melody.bmp", "-f", "--wav", "m.wav", *extra, *WORKED)
                samples = wav_samples(self.dir / "m.wav")
                self.assertAlmostEqual(peak_dbfs(samples), -1.0, delta=0.1)
                self.assertLess(abs(sum(samples) / len(samples) / 32768), 0.001)

    def test_gain_out_of_range_is_a_usage_error(self):
        run = self.run_converter("melody.bmp", "--wav", "m.wav", "--gain", "24.5")
        self.assertEqual(run.returncode, 2)
        self.assertIn("'24.5' is not a gain in dB from -60 to +24", run.stderr.decode())
        self.assertFalse((self.dir / "m.wav").exists())

    def test_gain_without_wav_is_warned_of(self):
        run = self.convert("melody.bmp", "--gain", "-3", *WORKED)
        self.assertIn("pixorale-convert: warning: --gain does nothing without --wav",
                      self.error_lines(run))


if __name__ == "__main__":
    unittest.main()
