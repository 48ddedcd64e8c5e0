"""Every output of a run is told apart from the others and from the inputs by what its name
leads to, names of standard output are written in place whichever output they are given to,
an input's files appear together or not at all, and a run killed outright leaves nothing the
next run in that folder does not clear away."""

import os
import pathlib
import shutil
import subprocess
import unittest

from e2e_support import CONVERTER, ConverterTest, melody_bmp

SOUNDFONT = pathlib.Path("/usr/share/sounds/sf2/default-GM.sf2")
SEED = ["--seed", "1"]


def hidden_temporaries(folder):
    return sorted(p.name for p in folder.iterdir() if p.name.startswith(".pixorale-"))


class Outputs(ConverterTest):
    def setUp(self):
        super().setUp()
        self.write("melody.bmp", melody_bmp([60, 62, 64]))

    def shell(self, script):
        """Runs a shell line in the test folder; its status."""
        return subprocess.run(["sh", "-c", script], cwd=self.dir, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=120).returncode

    def test_wav_and_piano_roll_to_standard_output_are_written_in_place(self):
        expected = {}
        for option, name in (("--wav", "m.wav"), ("--piano-roll", "m.png")):
            self.convert("melody.bmp", "-f", "-o", "m.mid", option, name, *SEED)
            expected[option] = (self.dir / name).read_bytes()
        for option in ("--wav", "--piano-roll"):
            for name in ("-", "/dev/stdout", "//dev/stdout"):
                with self.subTest(option=option, name=name, into="pipe"):
                    run = self.convert("melody.bmp", "-f", "-o", "a.mid", option, name, *SEED)
                    self.assertEqual(run.stdout, expected[option])
                with self.subTest(option=option, name=name, into="file"):
                    status = self.shell(f'{{ echo BEFORE; "{CONVERTER}" -f melody.bmp -o a.mid '
                                        f'{option} {name} --seed 1; echo AFTER; }} > c.txt')
                    self.assertEqual(status, 0)
                    self.assertEqual((self.dir / "c.txt").read_bytes(),
                                     b"BEFORE\n" + expected[option] + b"AFTER\n")
        self.assertFalse((self.dir / "-").exists())

    def test_other_spellings_of_standard_output_are_written_in_place(self):
        os.symlink("/dev/stdout", self.dir / "link")
        midi = self.convert("melody.bmp", "-o", "-", *SEED).stdout
        for name in ("//dev/stdout", "/dev/./stdout", "/dev/fd/./1", "link"):
            with self.subTest(name=name, into="pipe"):
                self.assertEqual(self.convert("melody.bmp", "-f", "-o", name, *SEED).stdout, midi)
            with self.subTest(name=name, into="file"):
                status = self.shell(f'{{ echo BEFORE; "{CONVERTER}" -f melody.bmp -o {name} '
                                    f'--seed 1; echo AFTER; }} > c.txt')
                self.assertEqual(status, 0)
                self.assertEqual((self.dir / "c.txt").read_bytes(),
                                 b"BEFORE\n" + midi + b"AFTER\n")
        self.assertTrue((self.dir / "link").is_symlink())

    def test_a_failed_wav_leaves_none_of_the_files_and_a_rerun_goes_on(self):
        self.write("cut.sf2", SOUNDFONT.resolve().read_bytes()[:100_000])
        run = self.run_converter("melody.bmp", "--wav", "m.wav", "--piano-roll", "m.png",
                                 "--soundfont", "cut.sf2")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(len(self.error_lines(run)), 1, run.stderr.decode())
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()),
                         ["cut.sf2", "melody.bmp"])
        self.convert("melody.bmp", "--wav", "m.wav", "--piano-roll", "m.png")
        self.assertTrue(all((self.dir / n).exists() for n in ("melody.mid", "m.wav", "m.png")))


@unittest.skipUnless(shutil.which("strace"), "strace injects the kill")
class KilledOutright(ConverterTest):
    """kill -9 at the worst moment: between naming the new file and renaming it over the old."""

    def kill_at_rename(self, *args):
        return subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null",
                               "-e", "trace=rename,renameat,renameat2",
                               "-e", "inject=rename,renameat,renameat2:signal=SIGKILL",
                               CONVERTER, *args], cwd=self.dir, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=120)

    def test_the_next_run_clears_what_a_killed_run_left(self):
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        self.convert("melody.bmp", "-o", "old.mid", *SEED)
        self.convert("--tempo", "80", "--save-settings")
        old = (self.dir / "old.mid").read_bytes()
        settings = (self.dir / "setting.set").read_bytes()
        for args in (["melody.bmp", "-f", "-o", "old.mid", "--seed", "2"],
                     ["--tempo", "90", "--save-settings"]):
            with self.subTest(args=args):
                killed = self.kill_at_rename(*args)
                self.assertNotEqual(killed.returncode, 0)
                self.assertEqual((self.dir / "old.mid").read_bytes(), old)
                self.assertEqual((self.dir / "setting.set").read_bytes(), settings)
                # What it left, if anything, is no live process's: the next run clears it.
                self.convert("melody.bmp", "-f", "-o", "next.mid")
                self.assertEqual(hidden_temporaries(self.dir), [])

    def test_without_unnamed_files_the_next_run_clears_the_named_temporary(self):
        """vfat, exFAT, NFS and CIFS have no unnamed files (O_TMPFILE fails with EOPNOTSUPP):
        the temporary has a hidden name all the while it is written."""
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        folder = self.dir / "out"
        folder.mkdir()
        killed = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-P", str(folder),
                                 "-P", str(folder / "a.mid"),
                                 "-e", "trace=openat,rename,renameat2",
                                 "-e", "inject=openat:error=EOPNOTSUPP",
                                 "-e", "inject=rename,renameat2:signal=SIGKILL",
                                 CONVERTER, "melody.bmp", "-o", str(folder / "a.mid")],
                                cwd=self.dir, capture_output=True, stdin=subprocess.DEVNULL,
                                timeout=120)
        self.assertNotEqual(killed.returncode, 0)
        self.assertEqual(len(hidden_temporaries(folder)), 1, "the kill struck as intended")
        self.convert("melody.bmp", "-o", str(folder / "b.mid"))
        self.assertEqual(sorted(p.name for p in folder.iterdir()), ["b.mid"])


@unittest.skipUnless(shutil.which("strace"), "strace sends the signal at the chosen instant")
class InterruptedWhileNaming(ConverterTest):
    """Ctrl-C or a termination request in the instant between the names of one input's
    files: the set is named whole before the run ends."""

    def test_a_signal_after_the_first_name_waits_for_the_others(self):
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        outputs = ["m.png", "melody.mid"]
        for sig, status, replacing in (("SIGINT", 130, False), ("SIGTERM", 143, True)):
            with self.subTest(signal=sig, replacing=replacing):
                for name in outputs:
                    (self.dir / name).unlink(missing_ok=True)
                    if replacing:
                        self.write_stand_in(name, b"old")
                run = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null",
                                      "-P", "melody.mid", "-e", "trace=linkat,rename,renameat2",
                                      "-e", f"inject=linkat,rename,renameat2:signal={sig}",
                                      CONVERTER, "melody.bmp", "--piano-roll", "m.png",
                                      *(["-f"] if replacing else [])],
                                     cwd=self.dir, capture_output=True, stdin=subprocess.DEVNULL,
                                     timeout=120)
                self.assertEqual(run.returncode, status, run.stderr.decode())
                self.assertEqual(sorted(p.name for p in self.dir.iterdir()),
                                 ["m.png", "melody.bmp", "melody.mid"])
                for name in outputs:
                    self.assertNotEqual((self.dir / name).read_bytes(), b"old", name)

if __name__ == "__main__":
    unittest.main()
