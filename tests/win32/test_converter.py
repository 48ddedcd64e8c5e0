"""pixorale-convert.exe under Wine against the Linux build: for the same picture, settings
and --seed both write the same bytes, to a file or to standard output; PNG and JPEG pictures
decode alike; the piano roll draws the same notes; the help offers what the build has. Needs
WINEPREFIX, PIXORALE_CONVERT_EXE and PIXORALE_CONVERT_LINUX, and ImageMagick."""

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


def imagemagick(*arguments):
    subprocess.run(["convert", *map(str, arguments)], check=True, capture_output=True)


def rgb_pixels(path):
    """(width, height, bytes of RGB rows from the top) of a picture, as ImageMagick reads it."""
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], check=True,
                          capture_output=True).stdout.split()
    pixels = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], check=True,
                            capture_output=True).stdout
    return int(size[0]), int(size[1]), pixels


# Every kind of picture the Linux decoder tests read: ImageMagick's plasma, one colour a pixel.
PLASMA = ["-seed", "7", "plasma:red-blue"]
PICTURE_KINDS = [
    ("rgb8.png", "37x23", [], "PNG24"),
    ("one-row.png", "19x1", [], "PNG24"),
    ("grey8.png", "37x24", ["-colorspace", "Gray", "-depth", "8"], "PNG"),
    ("grey2.png", "29x9", ["-colorspace", "Gray", "-depth", "2"], "PNG"),
    ("grey16.png", "33x21", ["-colorspace", "Gray", "-depth", "16"], "PNG"),
    ("palette.png", "41x17", ["-colors", "13"], "PNG8"),
    ("palette-transparent.png", "41x17", ["-colors", "9", "-fuzz", "20%", "-transparent", "red"],
     "PNG8"),
    ("rgb16.png", "33x21", ["-depth", "16"], "PNG48"),
    ("rgba.png", "31x15", ["-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel"], "PNG32"),
    ("rgba16.png", "31x15",
     ["-alpha", "set", "-channel", "A", "-fx", "j/h", "+channel", "-depth", "16"], "PNG64"),
    ("interlaced.png", "45x37", ["-interlace", "PNG"], "PNG24"),
    ("interlaced-tiny.png", "3x5", ["-interlace", "PNG"], "PNG24"),
    ("baseline420.jpg", "97x61", ["-sampling-factor", "2x2", "-quality", "90"], "JPEG"),
    ("baseline422.jpg", "64x50", ["-sampling-factor", "2x1"], "JPEG"),
    ("baseline444.jpg", "33x17", ["-sampling-factor", "1x1"], "JPEG"),
    ("height1.jpg", "40x1", ["-sampling-factor", "2x2"], "JPEG"),
    ("height17.jpg", "40x17", ["-sampling-factor", "2x2"], "JPEG"),
    ("tall.jpg", "24x301", ["-sampling-factor", "2x2"], "JPEG"),
    ("progressive.jpg", "97x61", ["-interlace", "JPEG"], "JPEG"),
    ("grey.jpg", "50x31", ["-colorspace", "Gray"], "JPEG"),
    ("restarts.jpg", "80x48", ["-define", "jpeg:restart-interval=1"], "JPEG"),
    ("photo.jpg", "1024x768", ["-quality", "92"], "JPEG"),
]
CORPUS = SOURCE_DIR / "tests" / "corpus" / "pictures"

# The piano roll's plot: inside margins of 36 px left, 12 px right, 24 px top and bottom. Only
# the labels, in the margins, are drawn with the platform's own font.
PLOT_LEFT, PLOT_RIGHT, PLOT_TOP, PLOT_BOTTOM_MARGIN = 36, 12, 24, 24


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

    def converted_by_both(self, arguments, kinds):
        """Converts pictures of every kind with each build, one run a build, each output named
        as the converter names it; checks the runs said the same and returns the names made."""
        pictures = self.directory / "pictures"
        pictures.mkdir()
        for name, size, more, prefix in kinds:
            imagemagick("-size", size, *PLASMA, *more, f"{prefix}:{pictures / name}")
        # The corpus of damaged files too: the same pictures read, the same reasons refused.
        for picture in CORPUS.iterdir():
            if picture.suffix in (".png", ".jpg"):
                shutil.copy(picture, pictures)
        names = sorted(p.name for p in pictures.iterdir())
        results = {}
        for build in ("linux", "windows"):
            (self.directory / build).mkdir()
            command = ([LINUX_CONVERTER] if build == "linux" else [WINE, WINDOWS_CONVERTER])
            status, _, err = run([*command, *arguments, "-j", "1", "-d", f"../{build}", *names],
                                 pictures)
            results[build] = (status, err.replace("\r\n", "\n").replace(f"../{build}", "DIR"))
        self.assertEqual(results["windows"], results["linux"])
        made = sorted(p.name for p in (self.directory / "linux").iterdir())
        self.assertEqual(len(made), len(kinds) + 3, made)  # 3 corpus files convert
        for name in made:
            with self.subTest(picture=name):
                self.assertEqual((self.directory / "windows" / name).read_bytes(),
                                 (self.directory / "linux" / name).read_bytes())

    def test_png_and_jpeg_give_the_linux_bytes(self):
        self.converted_by_both(["--chords", "--seed", "7"], PICTURE_KINDS)

    def test_the_musical_reading_gives_the_linux_bytes(self):
        # The reading reads every row; a large JPEG is decoded at a reduced size for it.
        large = [("wide.jpg", "2400x700", ["-quality", "90"], "JPEG")]
        self.converted_by_both(["--preset", "musical", "--seed", "7"], PICTURE_KINDS + large)

    def test_piano_roll_draws_the_linux_notes(self):
        arguments = ["--chords", "--seed", "7", "--piano-roll"]
        self.linux(str(self.picture), *arguments, "linux.png", "-o", "linux.mid")
        self.windows(windows_path(self.picture), *arguments, "windows.png", "-o", "windows.mid")
        width, height, linux = rgb_pixels(self.directory / "linux.png")
        self.assertEqual(rgb_pixels(self.directory / "windows.png")[:2], (width, height))
        windows = rgb_pixels(self.directory / "windows.png")[2]
        plot_bottom = height - PLOT_BOTTOM_MARGIN

        def plot(pixels):
            row = 3 * width
            return b"".join(pixels[y * row + 3 * PLOT_LEFT:(y + 1) * row - 3 * PLOT_RIGHT]
                            for y in range(PLOT_TOP, plot_bottom))
        linux_plot = plot(linux)
        self.assertEqual(plot(windows), linux_plot)
        # Not two empty plots: the plot's grey, two kinds of lines, melody and chords.
        colours = {linux_plot[i:i + 3] for i in range(0, len(linux_plot), 3)}
        self.assertGreaterEqual(len(colours), 5)
        # The octave labels at the left are drawn: some pixels there are not background.
        left_margin = b"".join(windows[y * 3 * width:y * 3 * width + 3 * 30]
                               for y in range(PLOT_TOP, plot_bottom))
        self.assertNotEqual(left_margin, b"\xff" * len(left_margin))

    def test_help_offers_what_this_build_has_and_refuses_the_rest(self):
        status, out, _ = run([WINE, WINDOWS_CONVERTER, "--help"], self.directory)
        self.assertEqual(status, 0)
        help_text = out.decode()
        for offered in ("BMP, PNG or JPEG", "--piano-roll", "--program", "web page"):
            self.assertIn(offered, help_text)
        for lacking in ("--wav", "--soundfont", "WAV", "fluid", "apt"):
            self.assertNotIn(lacking, help_text)
        for option, value in (("--wav", "a.wav"), ("--soundfont", "a.sf2")):
            status, _, err = run([WINE, WINDOWS_CONVERTER, windows_path(self.picture), option,
                                  value], self.directory)
            self.assertEqual(status, 2)
            self.assertEqual(err.replace("\r\n", "\n"),
                             f"pixorale-convert: {option}: this build cannot write WAV files\n")
            self.assertFalse((self.directory / "melody.mid").exists())

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
