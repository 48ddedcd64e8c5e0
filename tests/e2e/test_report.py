"""What the converter prints: --info lines, --json objects, quiet runs, the progress line."""

import json
import os
import pty
import subprocess
import unittest

from e2e_support import (CONVERTER, WORKED_BLUES, WORKED_REDS, ConverterTest, bmp_bytes,
                         melody_bmp, notes_by_own_parser)

WORKED = ["--resolution", "480", "--sustain", "4"]

# (options, the --info line of the worked example)
FACTS = "6 notes, 1 track, 1380 ticks, {} s, pitches 60 to 67"
INFO_CASES = [
    (WORKED, "melody.bmp -> melody.mid: " + FACTS.format("1.438")),
    (WORKED + ["--tempo", "60"], "melody.bmp -> melody.mid: " + FACTS.format("2.875")),
    # In millisecond timing a tick is a millisecond.
    (WORKED + ["--timing", "ms"], "melody.bmp -> melody.mid: " + FACTS.format("1.380")),
    (WORKED + ["-o", "out.mid"], "melody.bmp -> out.mid: " + FACTS.format("1.438")),
]


class InfoLines(ConverterTest):
    def test_info_line_per_input(self):
        self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        for options, expected in INFO_CASES:
            with self.subTest(options=options):
                run = self.convert("melody.bmp", "-f", "--info", *options)
                settings, line = run.stdout.decode().splitlines()
                self.assertEqual(line, expected)
                # The settings used come first, once for the batch.
                self.assertTrue(settings.startswith("settings: scale c-major, key C, sustain 4, "))
                self.assertTrue(settings.endswith(", settings file none"))
                self.assertEqual(run.stderr, b"")

    def test_info_counts_the_notes_of_every_track(self):
        self.write("melody.bmp", melody_bmp([60, 64, 67, 72, 71, 65]))
        run = self.convert("melody.bmp", "--info", "--chords", "--snap", "up")
        tracks = notes_by_own_parser((self.dir / "melody.mid").read_bytes())
        note_ons = sum(1 for track in tracks for event in track if event[1] == "on")
        self.assertGreater(note_ons, 6)
        self.assertIn(f": {note_ons} notes, 2 tracks, ", run.stdout.decode())


class JsonObjects(ConverterTest):
    def test_one_object_per_input_in_input_order_failures_included(self):
        self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        self.write("bad.bmp", bmp_bytes(2, 2, None, bit_count=8))
        self.write("other.bmp", melody_bmp([60]))
        run = self.run_converter("melody.bmp", "bad.bmp", "other.bmp", "--json", "-j", "3",
                                 *WORKED)
        self.assertEqual(run.returncode, 1)
        objects = [json.loads(line) for line in run.stdout.decode().splitlines()]
        self.assertEqual([o["input"] for o in objects], ["melody.bmp", "bad.bmp", "other.bmp"])
        settings = objects[0].pop("settings")
        self.assertEqual(objects[0], {
            "input": "melody.bmp", "output": "melody.mid", "converted": True, "notes": 6,
            "tracks": 1, "ticks": 1380, "division": 480, "timing": "beat", "seconds": 1.4375,
            "lowest_pitch": 60, "highest_pitch": 67, "columns": 6})
        # Every effective setting, failed inputs included; no setting.set was read.
        self.assertEqual(settings, {
            "scale": "c-major", "key": "C", "sustain": 4, "tempo": 120, "timing": "beat",
            "resolution": 480, "chords": False, "range": None, "map": None, "columns": None,
            "max_seconds": None, "dynamics": False, "contour": None, "metre": False,
            "melodic": False, "harmony": False, "song_seconds": 60.0, "program": 0, "velocity": 100,
            "chord_program": 99, "chord_velocity": 100, "snap": "random", "seed": None,
            "settings_file": None})
        self.assertEqual(objects[1]["settings"], settings)
        self.assertEqual(objects[1]["converted"], False)
        self.assertTrue(objects[1]["error"].startswith("bad.bmp: not a 24-bit or 32-bit BMP: 8 bits"))
        self.assertEqual(objects[2]["ticks"], 240)
        self.assertEqual(len(self.error_lines(run)), 1)

    def test_millisecond_timing_counts_a_tick_as_a_millisecond(self):
        self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        run = self.convert("melody.bmp", "--json", "--timing", "ms", *WORKED)
        record = json.loads(run.stdout)
        self.assertEqual(record["timing"], "ms")
        self.assertEqual(record["seconds"], 1.38)


class QuietAndProgress(ConverterTest):
    def run_on_terminal(self, *args):
        """Runs with standard error on a pseudo-terminal; returns (status, what it showed)."""
        controller, terminal = pty.openpty()
        try:
            process = subprocess.run([CONVERTER, *args], cwd=self.dir, stdout=subprocess.PIPE,
                                     stderr=terminal, stdin=subprocess.DEVNULL, timeout=120,
                                     check=False)
            os.close(terminal)
            shown = b""
            while True:
                try:
                    chunk = os.read(controller, 4096)
                except OSError:  # the terminal side is closed: everything was read
                    break
                if not chunk:
                    break
                shown += chunk
        finally:
            os.close(controller)
        return process.returncode, shown

    def make_batch(self):
        for name in ("a", "b", "c"):
            self.write(f"{name}.bmp", melody_bmp([60, 62]))
        return ["a.bmp", "b.bmp", "c.bmp", "-j", "1"]

    def test_batch_shows_progress_on_a_terminal_and_wipes_it(self):
        status, shown = self.run_on_terminal(*self.make_batch())
        self.assertEqual(status, 0)
        self.assertIn(b"pixorale-convert: 1/3 converted", shown)
        self.assertIn(b"pixorale-convert: 2/3 converted", shown)
        # The progress line is wiped and one closing line stays.
        self.assertRegex(shown, rb"\r\x1b\[Kpixorale-convert: 3 converted, 0 failed in \d+\.\d\d s\r\n$")

    def test_failed_inputs_are_counted_apart(self):
        self.write("bad.bmp", b"not a picture")
        status, shown = self.run_on_terminal("bad.bmp", *self.make_batch())
        self.assertEqual(status, 1)
        self.assertIn(b"pixorale-convert: 2/4 converted, 1 failed", shown)
        self.assertRegex(shown, rb"pixorale-convert: 3 converted, 1 failed in \d+\.\d\d s\r\n$")

    def test_quiet_batch_shows_nothing_on_a_terminal(self):
        status, shown = self.run_on_terminal(*self.make_batch(), "-q")
        self.assertEqual(status, 0)
        self.assertEqual(shown, b"")

    def test_quiet_keeps_the_error_lines(self):
        self.write("a.bmp", melody_bmp([60]))
        run = self.run_converter("a.bmp", "missing.bmp", "-q")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(run.stdout, b"")
        self.assertEqual(len(self.error_lines(run)), 1)

    def test_batch_without_a_terminal_prints_nothing(self):
        run = self.convert(*self.make_batch())
        self.assertEqual((run.stdout, run.stderr), (b"", b""))


if __name__ == "__main__":
    unittest.main()
