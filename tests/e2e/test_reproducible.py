"""Snap directions: fixed with --snap, reproducible with --seed, random otherwise."""

import unittest

from e2e_support import ConverterTest, melody_bmp, pitches

# Pitch 61 (C#) is out of C major: each note shows one direction bit, 62 up or 60 down.
SHARPS = [61] * 24
# std::mt19937_64 seeded with 42, each output giving 64 draws from its lowest bit up, eleven
# draws per note; pitch 61 is tested in the sixth pass, so note i shows draw k = 11 * i + 5,
# bit k % 64 of output k / 64.
SEED_42_PITCHES = [60, 62, 62, 62, 60, 60, 62, 62, 62, 62, 60, 60,
                   62, 62, 60, 62, 60, 60, 60, 60, 62, 60, 62, 62]

# (scale, red bytes, pitches with --snap up, pitches with --snap down)
SNAP_CASES = [
    ("c-major", [61, 63, 66, 68, 70, 64], [62, 64, 67, 69, 71, 64], [60, 62, 65, 67, 69, 64]),
    ("c-harmonic-minor", [69, 70, 61, 67], [71, 71, 62, 67], [68, 68, 60, 67]),
    ("c-phrygian", [14, 62, 60], [15, 63, 60], [13, 61, 60]),
    ("c-locrian", [66, 67, 0], [66, 68, 0], [66, 66, 0]),
]


class SnapDirections(ConverterTest):
    def test_up_and_down_give_the_expected_notes(self):
        for number, (scale, reds, up, down) in enumerate(SNAP_CASES):
            for snap, expected in (("up", up), ("down", down)):
                with self.subTest(scale=scale, snap=snap):
                    picture = self.write(f"{snap}{number}.bmp", melody_bmp(reds))
                    self.convert(picture, "--scale", scale, "--snap", snap)
                    output = self.dir / f"{snap}{number}.mid"
                    self.assertEqual(pitches(output.read_bytes()), expected)

    def test_without_a_seed_the_directions_vary_between_runs(self):
        picture = self.write("sharps.bmp", melody_bmp([61] * 128))
        self.convert(picture, "-o", "first.mid")
        self.convert(picture, "-o", "second.mid")
        first = pitches((self.dir / "first.mid").read_bytes())
        second = pitches((self.dir / "second.mid").read_bytes())
        self.assertEqual(set(first) | set(second), {60, 62})
        self.assertNotEqual(first, second)  # equal once in 2^128 runs


class SeededConversion(ConverterTest):
    def test_seed_follows_the_documented_generator(self):
        picture = self.write("sharps.bmp", melody_bmp(SHARPS))
        self.convert(picture, "--seed", "42")
        self.assertEqual(pitches((self.dir / "sharps.mid").read_bytes()), SEED_42_PITCHES)

    def test_same_seed_gives_identical_bytes_and_another_seed_different_ones(self):
        picture = self.write("sharps.bmp", melody_bmp([61, 66, 70, 63] * 16))
        for name, seed in (("a.mid", 7), ("b.mid", 7), ("c.mid", 8)):
            self.convert(picture, "--seed", seed, "--chords", "-o", name)
        a, b, c = ((self.dir / n).read_bytes() for n in ("a.mid", "b.mid", "c.mid"))
        self.assertEqual(a, b)
        self.assertNotEqual(a, c)

    def test_result_of_an_input_does_not_depend_on_the_batch(self):
        reds = {"one": [61] * 40, "two": [66, 68] * 20, "three": [63, 70, 61] * 10}
        inputs = [self.write(f"{name}.bmp", melody_bmp(r)) for name, r in reds.items()]
        (self.dir / "alone").mkdir()
        (self.dir / "forward").mkdir()
        (self.dir / "backward").mkdir()
        for picture in inputs:
            self.convert(picture, "--seed", "99", "-d", "alone")
        self.convert(*inputs, "--seed", "99", "-j", "1", "-d", "forward")
        self.convert(*reversed(inputs), "--seed", "99", "-j", "3", "-d", "backward")
        for name in reds:
            alone = (self.dir / "alone" / f"{name}.mid").read_bytes()
            self.assertEqual((self.dir / "forward" / f"{name}.mid").read_bytes(), alone, name)
            self.assertEqual((self.dir / "backward" / f"{name}.mid").read_bytes(), alone, name)

    def test_snap_up_ignores_the_seed(self):
        picture = self.write("sharps.bmp", melody_bmp(SHARPS))
        self.convert(picture, "--seed", "42", "--snap", "up")
        self.assertEqual(pitches((self.dir / "sharps.mid").read_bytes()), [62] * len(SHARPS))


if __name__ == "__main__":
    unittest.main()
