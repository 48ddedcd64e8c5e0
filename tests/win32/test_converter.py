"""pixorale-convert.exe under Wine against the Linux build: for the same picture, settings
and --seed both write the same bytes, to a file or to standard output. Needs WINEPREFIX,
PIXORALE_CONVERT_EXE and PIXORALE_CONVERT_LINUX."""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "e2e"))
from e2e_support import melody_bmp  # noqa: E402

WINE = os.environ.get("WINE", "wine")
WINDOWS_CONVERTER = os.environ.get("PIXORALE_CONVERT_EXE", "pixorale-convert.exe")
LINUX_CONVERTER = os.environ.get("PIXORALE_CONVERT_LINUX", "pixorale-convert")

# Out-of-scale pitches (random moves, seeded), a step of 10 ticks (0A, which a text-mode
# stream would turn into 0D 0A) and a 1A (which ends a text-mode read).
REDS = [60, 61, 63, 66, 68, 70, 10, 26, 127, 0, 13, 100]
BLUES = [10, 13, 26, 1, 0, 255, 8, 10, 10, 4, 2, 1]

SETTINGS = [
    [],
    ["--chords"],
    ["--scale", "3", "--sustain", "5", "--tempo", "97"],
    ["--timing", "ms", "--resolution", "10"],
    ["--range", "40:90", "--chords", "--resolution", "2570"],
]


def run(arguments, cwd):
    """Runs a converter; returns exit status, standard output bytes and standard error. The
    output goes through files: a Wine helper process could inherit a pipe and hold it open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(arguments, stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                                cwd=cwd, timeout=120).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read(), err.read().decode("utf-8", "replace")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class ConverterMatchesLinuxTest(unittest.TestCase):
    def setUp(self):
        self.directory = pathlib.Path(tempfile.mkdtemp(prefix="pixorale-convert-win32-"))
        self.addCleanup(shutil.rmtree, self.directory, ignore_errors=True)
        self.picture = self.directory / "melody.bmp"
        self.picture.write_bytes(melody_bmp(REDS, BLUES, height=3))

    def linux(self, *arguments):
        status, out, err = run([LINUX_CONVERTER, *arguments], self.directory)
        self.assertEqual(status, 0, err)
        return out

    def windows(self, *arguments):
        status, out, err = run([WINE, WINDOWS_CONVERTER, *arguments], self.directory)
        self.assertEqual(status, 0, err)
        return out

    def test_same_bytes_in_files_for_every_setting(self):
        for settings in SETTINGS:
            with self.subTest(settings=settings):
                self.linux(str(self.picture), "--seed", "7", *settings, "-o", "linux.mid", "-f")
                self.windows(windows_path(self.picture), "--seed", "7", *settings, "-o",
                             "windows.mid", "-f")
                expected = (self.directory / "linux.mid").read_bytes()
                self.assertEqual((self.directory / "windows.mid").read_bytes(), expected)

    def test_standard_output_is_binary(self):
        # Resolution 2570 is 0A0A in the header's division word.
        expected = self.linux(str(self.picture), "--seed", "3", "--resolution", "2570", "-o", "-")
        self.assertIn(b"\n", expected, "the case must hold a 0A byte")
        self.assertEqual(self.windows(windows_path(self.picture), "--seed", "3", "--resolution",
                                      "2570", "-o", "-"), expected)

    def test_absolute_unix_path_is_a_file_not_an_option(self):
        # With CLI11's Windows-style options, "/tmp/..." would read as an option name.
        expected = self.linux(str(self.picture), "--seed", "5", "-o", "-")
        self.assertEqual(self.windows(str(self.picture), "--seed", "5", "-o", "-"), expected)

    def test_japanese_file_names_in_and_out(self):
        picture = self.directory / "テスト画像.bmp"
        picture.write_bytes(self.picture.read_bytes())
        self.windows(windows_path(picture), "--seed", "9", "-o", "楽譜.mid")
        expected = self.linux(str(self.picture), "--seed", "9", "-o", "-")
        self.assertEqual((self.directory / "楽譜.mid").read_bytes(), expected)
        # Without -o the output is named after the picture.
        self.windows(windows_path(picture), "--seed", "9")
        self.assertEqual((self.directory / "テスト画像.mid").read_bytes(), expected)

    def test_png_is_refused_with_a_clear_line(self):
        # The Windows build has no PNG or JPEG decoder.
        picture = SOURCE_DIR / "tests" / "corpus" / "pictures" / "well-formed-4x3.png"
        status, _, err = run([WINE, WINDOWS_CONVERTER, windows_path(picture), "-o", "p.mid"],
                             self.directory)
        self.assertEqual(status, 1)
        self.assertIn("PNG pictures cannot be read by this build", err)
        self.assertFalse((self.directory / "p.mid").exists())

    def test_help_and_an_unreadable_input(self):
        status, out, _ = run([WINE, WINDOWS_CONVERTER, "--help"], self.directory)
        self.assertEqual(status, 0)
        self.assertIn(b"--seed", out)
        status, _, err = run([WINE, WINDOWS_CONVERTER, windows_path(self.directory / "none.bmp")],
                             self.directory)
        self.assertEqual(status, 1)
        self.assertIn("none.bmp", err)


if __name__ == "__main__":
    unittest.main()
