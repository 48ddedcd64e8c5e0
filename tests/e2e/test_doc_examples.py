"""Every shell example in README.md, docs/*.md and the manual page runs as written, in order,
on a copy of what a fresh clone holds, against the installed programs.

An example is a line of a ```sh block (or a bold line of the manual's EXAMPLES section).
Lines starting with "# " right after a command show its standard output. Two kinds of line
are not run: `bash scripts/...` (they build and test the project, so they made what this
test runs) and the desktop program opening its window, which waits for a user."""

import glob
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

from e2e_support import CONVERTER, SOURCE_DIR, ConverterTest

# The folder of a fresh clone each document's examples run in, as the document says.
RUN_FOLDERS = {
    "README.md": ".",
    "docs/cli.md": "samples",
    "docs/desktop.md": ".",
    "app/cli/pixorale-convert.1": "samples",
}

# The folder the converter is installed in; stage/bin of a fresh clone stands for it.
INSTALLED = pathlib.Path(shutil.which(CONVERTER) or CONVERTER).resolve().parent

# Options of the converter that take a value, to tell values from input pictures.
VALUE_OPTIONS = {"-o", "--output", "-d", "--output-dir", "--scale", "--sustain", "--tempo",
                 "--timing", "--resolution", "--range", "--settings", "--snap", "--seed", "-j",
                 "--jobs", "--wav", "--soundfont", "--piano-roll", "--program", "--velocity",
                 "--chord-program", "--chord-velocity", "--columns", "--max-seconds", "--key",
                 "--map", "--max-columns", "--max-area",
                 "--gain", "--preset", "--contour", "--song-seconds"}


class Example:
    def __init__(self, command):
        self.command = command
        self.output = []  # documented standard output, one entry per "# " line

    def __repr__(self):
        return self.command


def markdown_examples(text):
    examples, block = [], None
    for line in text.splitlines():
        if block is None:
            if line.strip() == "```sh":
                block = []
            continue
        if line.strip() == "```":
            examples += block
            block = None
        elif line.startswith("# "):
            block[-1].output.append(line[2:])
        elif line.strip():
            block.append(Example(line.strip()))
    return examples


def manual_examples(text):
    section = text.split(".SH EXAMPLES", 1)[1].split("\n.SH ", 1)[0]
    return [Example(line[3:].replace("\\-", "-"))
            for line in section.splitlines() if line.startswith(".B ")]


def examples_of(document):
    text = (SOURCE_DIR / document).read_text()
    return manual_examples(text) if document.endswith(".1") else markdown_examples(text)


def documents():
    return ["README.md", *sorted(f"docs/{p.name}" for p in (SOURCE_DIR / "docs").glob("*.md")),
            "app/cli/pixorale-convert.1"]


def first_words(example):
    """The words of the first command of a pipeline, shell comments dropped."""
    return shlex.split(example.command.split("|")[0], comments=True)


def why_not_run(example):
    words = first_words(example)
    if words[0] == "bash" and len(words) > 1 and words[1].startswith("scripts/"):
        return "builds and tests the project"
    if pathlib.PurePath(words[0]).name == "pixorale":
        if not (INSTALLED / "pixorale").exists():
            return "the desktop program is not built"
        if words[1:] not in (["--version"], ["--help"]):
            return "opens a window and waits for the user"
    return None


def promised_files(words, cwd):
    """The files a converter command line says it writes."""
    output = directory = None
    inputs, save = [], False
    rest = iter(words[1:])
    for word in rest:
        option, _, attached = word.partition("=")
        if option in VALUE_OPTIONS:
            value = attached if attached else next(rest)
            if option in ("-o", "--output"):
                output = value
            elif option in ("-d", "--output-dir"):
                directory = value
        elif word == "--save-settings":
            save = True
        elif not word.startswith("-"):
            inputs += sorted(glob.glob(word, root_dir=cwd)) or [word]
    if output is not None:
        files = [] if output == "-" else [output]
    elif directory is not None:
        files = [os.path.join(directory, pathlib.Path(i).stem + ".mid") for i in inputs]
    else:
        files = [str(pathlib.Path(i).with_suffix(".mid")) for i in inputs]
    return files + (["setting.set"] if save else [])


class DocumentExamples(ConverterTest):
    def fresh_clone(self, name):
        """A folder holding what a fresh clone has that examples use, and stage/ as built."""
        root = self.dir / name
        shutil.copytree(SOURCE_DIR / "samples", root / "samples",
                        ignore=shutil.ignore_patterns("*.mid", "setting.set", "__pycache__"))
        (root / "stage").symlink_to(INSTALLED.parent)
        return root

    def run_example(self, example, cwd):
        environment = dict(os.environ, PATH=f"{INSTALLED}{os.pathsep}{os.environ['PATH']}",
                           QT_QPA_PLATFORM="offscreen")
        return subprocess.run(["bash", "-o", "pipefail", "-c", example.command], cwd=cwd,
                              env=environment, capture_output=True, stdin=subprocess.DEVNULL,
                              check=False, timeout=120)

    def test_every_document_says_where_its_examples_run(self):
        self.assertEqual(sorted(documents()), sorted(RUN_FOLDERS))

    def test_examples_run_as_written_in_order(self):
        for document in documents():
            with self.subTest(document=document):
                examples = examples_of(document)
                self.assertTrue(examples, f"{document} has no examples")
                cwd = self.fresh_clone(pathlib.Path(document).name) / RUN_FOLDERS[document]
                ran = 0
                for example in examples:
                    if why_not_run(example):
                        continue
                    run = self.run_example(example, cwd)
                    self.assertEqual(run.returncode, 0,
                                     f"{document}: {example}\n{run.stderr.decode()}")
                    ran += 1
                    if example.output:
                        documented = re.sub(r"\s", "", "".join(example.output))
                        self.assertEqual(re.sub(r"\s", "", run.stdout.decode()), documented,
                                         f"{document}: {example}")
                    words = first_words(example)
                    if pathlib.PurePath(words[0]).name == "pixorale-convert":
                        for promised in promised_files(words, cwd):
                            self.assertTrue((cwd / promised).is_file(),
                                            f"{document}: {example} did not write {promised}")
                self.assertGreater(ran, 0, f"no example of {document} was run")

    def test_bundled_pictures_are_what_the_script_draws(self):
        samples = SOURCE_DIR / "samples"
        with tempfile.TemporaryDirectory() as drawn:
            subprocess.run([sys.executable, str(samples / "make_samples.py"), drawn], check=True)
            drawn_files = {p.relative_to(drawn) for p in pathlib.Path(drawn).rglob("*.bmp")}
            bundled = {p.relative_to(samples) for p in samples.rglob("*.bmp")}
            self.assertEqual(drawn_files, bundled)
            for name in sorted(bundled):
                self.assertEqual((samples / name).read_bytes(),
                                 (pathlib.Path(drawn) / name).read_bytes(), name)


if __name__ == "__main__":
    unittest.main()
