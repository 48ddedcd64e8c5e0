"""Usage errors exit 2 before anything is converted; --help and --version exit 0."""

import re
import unittest

from e2e_support import MANUAL_DIR, SOURCE_DIR, ConverterTest, melody_bmp

# Each command line is refused as a whole; "in.bmp" exists, so only the options are at fault.
USAGE_ERRORS = [
    ["in.bmp", "--tempo", "0"],
    ["in.bmp", "--tempo", "-5"],
    ["in.bmp", "--tempo", "4294967296"],
    ["in.bmp", "--sustain", "-1"],
    ["in.bmp", "--sustain", "0x10"],
    ["in.bmp", "--sustain", "4294967296"],
    ["in.bmp", "--resolution", "0"],
    ["in.bmp", "--resolution", "32768"],
    ["in.bmp", "--range", "300:10"],
    ["in.bmp", "--range", "10:256"],
    ["in.bmp", "--range", "10"],
    ["in.bmp", "--range", "a:b"],
    ["in.bmp", "--range", "10:20", "--no-range"],
    ["in.bmp", "--scale", "c-blues"],
    ["in.bmp", "--scale", "9"],
    ["in.bmp", "--scale", "C-MAJOR"],
    ["in.bmp", "--timing", "bars"],
    ["in.bmp", "--snap", "sideways"],
    ["in.bmp", "--seed", "x"],
    ["in.bmp", "--seed", "18446744073709551616"],
    ["in.bmp", "-j", "0"],
    ["in.bmp", "--jobs", "many"],
    ["in.bmp", "--chords", "--no-chords"],
    ["in.bmp", "--info", "--json"],
    ["in.bmp", "-q", "--info"],
    ["in.bmp", "-q", "--json"],
    ["in.bmp", "-o", "-", "--info"],
    ["in.bmp", "-o", "a.mid", "-d", "."],
    ["in.bmp", "in.bmp", "-o", "a.mid"],
    ["in.bmp", "-d", "no-such-dir"],
    ["in.bmp", "-d", "in.bmp"],
    ["in.bmp", "--settings", "no-such.set"],
    ["in.bmp", "--tempo"],
    ["in.bmp", "--bogus"],
    [],
    ["-q"],
]


def long_options(text):
    return set(re.findall(r"--[a-z][a-z-]+", text))


class UsageErrors(ConverterTest):
    def test_each_refused_command_line_exits_2_and_converts_nothing(self):
        self.write("in.bmp", melody_bmp([60, 62]))
        for arguments in USAGE_ERRORS:
            with self.subTest(arguments=arguments):
                run = self.run_converter(*arguments)
                self.assertEqual(run.returncode, 2, run.stderr.decode())
                self.assertEqual(run.stdout, b"")
                self.assertTrue(run.stderr.startswith(b"pixorale-convert: "), run.stderr)
                self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["in.bmp"])

    def test_settings_file_named_but_missing_is_told_by_name(self):
        self.write("in.bmp", melody_bmp([60]))
        run = self.run_converter("in.bmp", "--settings", "gone.set")
        self.assertEqual(run.returncode, 2)
        self.assertEqual(self.error_lines(run),
                         ["pixorale-convert: gone.set: cannot open the settings file"])


class HelpAndVersion(ConverterTest):
    def test_version_prints_the_version_number(self):
        run = self.convert("--version")
        self.assertEqual(run.stdout, b"1.0.0.0\n")

    def test_help_documents_every_option_with_its_default(self):
        run = self.convert("--help")
        text = run.stdout.decode()
        expected = {"--output", "--output-dir", "--force", "--scale", "--sustain", "--tempo",
                    "--timing", "--resolution", "--chords", "--no-chords", "--range",
                    "--no-range", "--settings", "--save-settings", "--snap", "--seed", "--jobs",
                    "--quiet", "--info", "--json", "--help", "--version"}
        self.assertTrue(expected <= long_options(text), expected - long_options(text))
        for default in ("default: c-major", "default: 16", "default: 120", "default: beat",
                        "default: 768", "default: random", "default: the number of cores"):
            self.assertIn(default, text)

    def test_manual_page_and_usage_guide_cover_every_option(self):
        options = long_options(self.convert("--help").stdout.decode())
        manual = (MANUAL_DIR / "man1" / "pixorale-convert.1").read_text()
        manual = manual.replace("\\-", "-")
        guide = (SOURCE_DIR / "docs" / "cli.md").read_text()
        self.assertEqual(options - long_options(manual), set())
        self.assertEqual(options - long_options(guide), set())


if __name__ == "__main__":
    unittest.main()
