"""setting.set as the desktop program keeps it: read from the current directory, overridden by
options, replaced by --settings, written by --save-settings."""

import struct
import unittest

from e2e_support import ConverterTest, melody_bmp, parse_smf, pitches

DEFAULTS = bytes.fromhex("00 10000000 78000000 00 0003 00 00 FF")


def settings_bytes(scale=0, sustain=16, tempo=120, timing=0, resolution=768, chords=0, low=0,
                   high=255):
    return struct.pack("<BIIBHBBB", scale, sustain, tempo, timing, resolution, chords, low, high)


def header_and_tempo(data):
    smf = parse_smf(data)
    tempo = next(e[3] for e in smf["tracks"][0] if e[1] == "tempo")
    return smf["division"], tempo, len(smf["tracks"])


class SettingsFile(ConverterTest):
    def setUp(self):
        super().setUp()
        # C# and F#: F# is out of C major but in C Lydian, so the scale shows.
        self.write("in.bmp", melody_bmp([61, 66, 64]))

    def test_setting_set_in_the_current_directory_is_used(self):
        self.write("setting.set", settings_bytes(scale=6, tempo=60, resolution=480, chords=1))
        self.convert("in.bmp", "--snap", "down")
        data = (self.dir / "in.mid").read_bytes()
        self.assertEqual(header_and_tempo(data), (480, 1000000, 2))
        self.assertEqual(pitches(data), [60, 66, 64])  # Lydian keeps F#

    def test_options_override_setting_set(self):
        self.write("setting.set", settings_bytes(scale=6, tempo=60, resolution=480, chords=1,
                                                 low=40, high=80))
        self.convert("in.bmp", "--snap", "down", "--scale", "c-major", "--tempo", "120",
                     "--resolution", "960", "--no-chords", "--no-range")
        data = (self.dir / "in.mid").read_bytes()
        self.assertEqual(header_and_tempo(data), (960, 500000, 1))
        self.assertEqual(pitches(data), [60, 65, 64])

    def test_without_setting_set_the_defaults_apply_and_nothing_is_saved(self):
        self.convert("in.bmp")
        self.assertEqual(header_and_tempo((self.dir / "in.mid").read_bytes()), (768, 500000, 1))
        self.assertFalse((self.dir / "setting.set").exists())

    def test_settings_option_reads_another_file(self):
        self.write("setting.set", settings_bytes(resolution=480))
        self.write("other/custom.set", settings_bytes(resolution=240, tempo=240))
        self.convert("in.bmp", "--settings", "other/custom.set")
        self.assertEqual(header_and_tempo((self.dir / "in.mid").read_bytes())[:2], (240, 250000))

    def test_save_settings_writes_the_effective_settings(self):
        cases = [
            ([], DEFAULTS),
            (["--tempo", "96", "--sustain", "8", "--range", "48:84"],
             bytes.fromhex("00 08000000 60000000 00 0003 00 30 54")),
            (["--scale", "c-locrian", "--timing", "ms", "--resolution", "1000", "--chords",
              "--range", "90:40"],
             bytes.fromhex("08 10000000 78000000 01 E803 01 00 FF")),
        ]
        for options, expected in cases:
            with self.subTest(options=options):
                (self.dir / "setting.set").unlink(missing_ok=True)
                self.convert("--save-settings", *options)
                self.assertEqual((self.dir / "setting.set").read_bytes(), expected)

    def test_saved_settings_start_from_the_loaded_file(self):
        self.write("setting.set", settings_bytes(scale=3, resolution=480, low=10, high=100))
        self.convert("in.bmp", "--tempo", "90", "--save-settings")
        self.assertEqual((self.dir / "setting.set").read_bytes(),
                         settings_bytes(scale=3, tempo=90, resolution=480, low=10, high=100))
        self.assertEqual(header_and_tempo((self.dir / "in.mid").read_bytes())[:2],
                         (480, 666666))

    def test_unwritable_setting_set_fails_the_run(self):
        (self.dir / "setting.set").mkdir()
        run = self.run_converter("in.bmp", "--save-settings")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: setting.set: is a directory"])
        self.assertTrue((self.dir / "in.mid").exists(), "the conversion still ran")


if __name__ == "__main__":
    unittest.main()
