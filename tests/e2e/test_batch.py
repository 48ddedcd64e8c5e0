"""Batches, broken inputs, output placement, --force and standard output."""

import os
import re
import unittest

from e2e_support import ConverterTest, bmp_bytes, claims_too_much_bmp, melody_bmp, parse_smf

GOOD = melody_bmp([60, 62, 64, 65, 67])
ERROR_LINE = re.compile(r"^pixorale-convert: (?P<path>[^:]+): (?P<reason>.+)$")

# (name of the broken input, its bytes or None for a missing file, words of the reason)
BROKEN_INPUTS = [
    ("missing.bmp", None, "cannot be opened: No such file or directory"),
    ("eight-bit.bmp", bmp_bytes(4, 2, None, bit_count=8),
     "not a 24-bit or 32-bit BMP: 8 bits per pixel"),
    ("sixteen-bit.bmp", bmp_bytes(4, 2, None, bit_count=16),
     "not a 24-bit or 32-bit BMP: 16 bits per pixel"),
    ("photo.gif", b"GIF89a" + bytes(20),
     "unsupported picture (GIF); pixorale-convert reads BMP, PNG and JPEG"),
    ("huge-claim.bmp", claims_too_much_bmp(),
     "the header claims more pixel data than the file holds"),
]


class BrokenInputs(ConverterTest):
    def test_one_broken_input_fails_alone_and_the_batch_exits_1(self):
        for name, data, reason in BROKEN_INPUTS:
            with self.subTest(broken=name):
                first = self.write("first.bmp", GOOD)
                last = self.write("last.bmp", GOOD)
                if data is not None:
                    self.write(name, data)
                run = self.run_converter(first, name, last, "-f", "-j", "2")
                self.assertEqual(run.returncode, 1)
                lines = self.error_lines(run)
                self.assertEqual(len(lines), 1, lines)
                match = ERROR_LINE.match(lines[0])
                self.assertIsNotNone(match, lines[0])
                self.assertEqual(match["path"], name)
                self.assertTrue(match["reason"].startswith(reason), lines[0])
                self.assertFalse((self.dir / (name.rsplit(".", 1)[0] + ".mid")).exists())
                for good in ("first.mid", "last.mid"):
                    parse_smf((self.dir / good).read_bytes())

    def test_not_24_bit_line_is_in_english_alone(self):
        self.write("eight-bit.bmp", bmp_bytes(4, 2, None, bit_count=8))
        run = self.run_converter("eight-bit.bmp")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run), [
            "pixorale-convert: eight-bit.bmp: not a 24-bit or 32-bit BMP: 8 bits per pixel"])

    def test_unwritable_output_names_the_output(self):
        cases = [(str(self.dir / "no-such-dir" / "out.mid"), "No such file or directory"),
                 ("/dev/full", "No space left on device")]
        picture = self.write("picture.bmp", GOOD)
        for output, reason in cases:
            with self.subTest(output=output):
                run = self.run_converter(picture, "-o", output, "-f")
                self.assertEqual(run.returncode, 1)
                lines = self.error_lines(run)
                self.assertEqual(len(lines), 1, lines)
                self.assertEqual(lines[0], f"pixorale-convert: {output}: cannot be "
                                           f"written: {reason}")


class ExistingOutputs(ConverterTest):
    def test_existing_output_is_refused_without_force_and_left_untouched(self):
        self.write("picture.bmp", GOOD)
        old = self.write_stand_in("picture.mid", b"not yet converted")
        os.utime(old, (1_000_000, 1_000_000))
        run = self.run_converter("picture.bmp")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: picture.mid: already exists; use -f/--force to "
                          "replace it"])
        self.assertEqual(old.read_bytes(), b"not yet converted")
        self.assertEqual(old.stat().st_mtime, 1_000_000)
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()),
                         ["picture.bmp", "picture.mid"], "no temporary file is left")

    def test_force_replaces_the_existing_output(self):
        picture = self.write("picture.bmp", GOOD)
        self.write("picture.mid", b"not yet converted")
        for force in ("-f", "--force"):
            self.convert(picture, force)
            parse_smf((self.dir / "picture.mid").read_bytes())

    def test_refused_input_does_not_stop_the_others(self):
        self.write("a.bmp", GOOD)
        self.write("b.bmp", GOOD)
        self.write_stand_in("a.mid", b"keep me")
        run = self.run_converter("a.bmp", "b.bmp")
        self.assertEqual(run.returncode, 1)
        self.assertEqual((self.dir / "a.mid").read_bytes(), b"keep me")
        parse_smf((self.dir / "b.mid").read_bytes())


class OutputPlacement(ConverterTest):
    def test_default_output_replaces_the_extension_beside_the_input(self):
        self.write("pictures/photo.BMP", GOOD)
        self.write("pictures/drawing.bmp", GOOD)
        self.write("pictures/noextension", GOOD)
        self.convert("pictures/photo.BMP", "pictures/drawing.bmp", "pictures/noextension")
        names = sorted(p.name for p in (self.dir / "pictures").glob("*.mid"))
        self.assertEqual(names, ["drawing.mid", "noextension.mid", "photo.mid"])

    def test_output_dir_collects_the_outputs(self):
        self.write("in/a.bmp", GOOD)
        self.write("in/b.bmp", GOOD)
        (self.dir / "out").mkdir()
        self.convert("in/a.bmp", "in/b.bmp", "-d", "out")
        self.assertEqual(sorted(p.name for p in (self.dir / "out").iterdir()), ["a.mid", "b.mid"])
        self.assertEqual(sorted(p.name for p in (self.dir / "in").iterdir()), ["a.bmp", "b.bmp"])

    def test_two_inputs_with_one_output_are_both_refused_naming_each_other(self):
        self.write("one/same.bmp", melody_bmp([60]))
        self.write("two/same.bmp", melody_bmp([72, 74]))
        self.write("other.bmp", melody_bmp([64]))
        (self.dir / "out").mkdir()
        run = self.run_converter("one/same.bmp", "two/same.bmp", "other.bmp", "-d", "out", "-f",
                                 "-j", "2")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(self.error_lines(run), [
            "pixorale-convert: one/same.bmp: its output out/same.mid is also the output of "
            "two/same.bmp; neither is converted",
            "pixorale-convert: two/same.bmp: its output out/same.mid is also the output of "
            "one/same.bmp; neither is converted"])
        self.assertEqual(sorted(p.name for p in (self.dir / "out").iterdir()), ["other.mid"])

    def test_many_inputs_in_parallel_are_all_written(self):
        names = [f"p{i:02}" for i in range(24)]
        for i, name in enumerate(names):
            self.write(f"{name}.bmp", melody_bmp([40 + i, 50 + i, 60 + i]))
        self.convert(*(f"{n}.bmp" for n in names), "-j", "4", "--snap", "up")
        for i, name in enumerate(names):
            tracks = parse_smf((self.dir / f"{name}.mid").read_bytes())["tracks"]
            self.assertEqual(len([e for e in tracks[0] if e[1] == "on"]), 3, name)


class StandardOutput(ConverterTest):
    def test_dash_writes_exactly_the_file_bytes(self):
        picture = self.write("picture.bmp", melody_bmp([61, 66, 70, 63] * 8))
        for options in (["--seed", "5"], ["--seed", "5", "--chords"], ["--snap", "down"]):
            with self.subTest(options=options):
                self.convert(picture, "-o", "file.mid", "-f", *options)
                run = self.convert(picture, "-o", "-", *options)
                self.assertEqual(run.stdout, (self.dir / "file.mid").read_bytes())
                self.assertEqual(run.stderr, b"")
                self.write("stdout.mid", run.stdout)  # checked by midicsv and mido too

    def test_dash_writes_no_file(self):
        self.write("picture.bmp", GOOD)
        self.convert("picture.bmp", "-o", "-")
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["picture.bmp"])


if __name__ == "__main__":
    unittest.main()
