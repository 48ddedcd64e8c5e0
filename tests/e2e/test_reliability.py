"""What users own survives whatever happens to a run: interruptions, outputs that name the
input or an open descriptor, settings files that are not files, tempos out of reach."""

import json
import os
import select
import signal
import subprocess

import mido

from e2e_support import CONVERTER, ConverterTest, bmp_bytes, melody_bmp, parse_smf, pitches


def wide_picture(columns):
    """A one-row picture wide enough that its conversion takes a noticeable time."""
    reds = [(40 + 7 * i) % 128 for i in range(columns)]
    return melody_bmp(reds, [1] * columns, height=1)


def wait_for_temporary(process, folder):
    """Waits until the running converter holds open a file it writes in `folder` (its
    temporary, unnamed or hidden): the conversion is under way, its handlers long installed.
    False when the converter ended first."""
    folder = os.path.realpath(folder) + os.sep
    descriptors = f"/proc/{process.pid}/fd"
    ended = os.pidfd_open(process.pid)
    try:
        # Between two looks, wait for the converter's end, which stops the wait at once.
        while not select.select([ended], [], [], 0.001)[0]:
            try:
                targets = [os.readlink(os.path.join(descriptors, fd))
                           for fd in os.listdir(descriptors)]
            except OSError:  # it ended, or closed a descriptor while we looked
                continue
            if any(t.startswith(folder) and not t.endswith(".bmp") for t in targets):
                return True
        return False
    finally:
        os.close(ended)


class Interruptions(ConverterTest):
    def test_sigint_and_sigterm_leave_no_file_and_say_so(self):
        self.write("wide.bmp", wide_picture(3_000_000))
        for sig, status in ((signal.SIGINT, 130), (signal.SIGTERM, 143)):
            with self.subTest(signal=sig):
                process = subprocess.Popen([CONVERTER, "wide.bmp", "-o", "out.mid"], cwd=self.dir,
                                           stdin=subprocess.DEVNULL, stderr=subprocess.PIPE)
                if wait_for_temporary(process, self.dir):
                    process.send_signal(sig)
                process.communicate(timeout=60)
                if process.returncode == 0:
                    self.skipTest("the conversion finished before the signal")
                self.assertEqual(process.returncode, status)
                self.assertEqual(sorted(p.name for p in self.dir.iterdir()), ["wide.bmp"])


class HostilePictures(ConverterTest):
    def test_a_picture_without_columns_resampled_converts_to_no_notes_beside_the_others(self):
        self.write("zero.bmp", bmp_bytes(0, 5, None))
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        run = self.run_converter("--no-settings", "--columns", "5", "-j", "2", "--json",
                                 "zero.bmp", "melody.bmp")
        self.assertEqual(run.returncode, 0, run.stderr.decode())
        records = {r["input"]: r for r in map(json.loads, run.stdout.decode().splitlines())}
        self.assertEqual(sorted(records), ["melody.bmp", "zero.bmp"])
        self.assertTrue(all(r["converted"] for r in records.values()), records)
        self.assertEqual(pitches((self.dir / "zero.mid").read_bytes()), [])
        self.assertEqual(len(pitches((self.dir / "melody.mid").read_bytes())), 5)


class OutputNames(ConverterTest):
    def test_dev_stdout_into_a_pipe_is_standard_output(self):
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        dash = self.convert("melody.bmp", "-o", "-", "--seed", "1").stdout
        for name in ("/dev/stdout", "/proc/self/fd/1"):
            with self.subTest(name=name):
                run = self.convert("melody.bmp", "-o", name, "--seed", "1")
                self.assertEqual(run.stdout, dash)
        self.assertTrue(dash.startswith(b"MThd"))

    def test_dev_stdout_redirected_to_a_file_keeps_what_the_shell_wrote(self):
        self.write("melody.bmp", melody_bmp([60, 62, 64]))
        script = f'{{ printf "header:"; "{CONVERTER}" melody.bmp -o /dev/stdout; }} > out.bin'
        subprocess.run(["sh", "-c", script], cwd=self.dir, check=True, timeout=60)
        written = (self.dir / "out.bin").read_bytes()
        self.assertTrue(written.startswith(b"header:MThd"), written[:20])

    def test_the_input_is_never_its_own_output(self):
        picture = self.write("picture.bmp", melody_bmp([60, 62]))
        original = picture.read_bytes()
        os.link(picture, self.dir / "same.bmp")
        for output in ("picture.bmp", "./picture.bmp", "same.bmp"):
            with self.subTest(output=output):
                run = self.run_converter("picture.bmp", "-o", output, "-f")
                self.assertEqual(run.returncode, 1)
                self.assertIn("is the input picture", run.stderr.decode())
                self.assertEqual(picture.read_bytes(), original)

    def test_refusals_name_the_real_reason(self):
        self.write("melody.bmp", melody_bmp([60]))
        (self.dir / "folder").mkdir()
        self.write_stand_in("taken.mid", b"keep me")
        self.write("fake.bmp", b"GIF89a" + bytes(60))
        cases = [
            (["melody.bmp", "-o", "folder"], "folder: is a directory"),
            (["missing.bmp", "-o", "taken.mid"], "missing.bmp: cannot be opened: No such file"),
            (["melody.bmp", "-o", "taken.mid"], "taken.mid: already exists; use -f/--force"),
            (["fake.bmp"], "fake.bmp: unsupported picture (GIF); pixorale-convert reads BMP, "
                           "PNG and JPEG"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                run = self.run_converter(*args)
                self.assertEqual(run.returncode, 1)
                self.assertIn(f"pixorale-convert: {message}", run.stderr.decode())
        self.assertEqual((self.dir / "taken.mid").read_bytes(), b"keep me")


class Settings(ConverterTest):
    def test_fifo_setting_set_is_read_as_the_defaults(self):
        os.mkfifo(self.dir / "setting.set")
        self.write("melody.bmp", melody_bmp([60]))
        run = self.convert("melody.bmp", "--json")
        self.assertIn('"division":768', run.stdout.decode())
        run = self.run_converter("--save-settings")
        self.assertEqual(run.returncode, 1)
        self.assertIn("setting.set: is not a regular file", run.stderr.decode())


class Tempos(ConverterTest):
    def test_tempo_beyond_the_event_writes_the_fastest_it_holds_and_warns(self):
        self.write("melody.bmp", melody_bmp([60, 62]))
        run = self.convert("melody.bmp", "--tempo", "100000000")
        self.assertIn("warning: --tempo 100000000", run.stderr.decode())
        tempos = [m.tempo for m in mido.MidiFile(self.dir / "melody.mid").tracks[0]
                  if m.type == "set_tempo"]
        self.assertEqual(tempos, [1])

    def test_millisecond_timing_is_one_tick_a_millisecond(self):
        self.write("melody.bmp", melody_bmp([60, 62]))
        self.convert("melody.bmp", "--timing", "ms")
        division = parse_smf((self.dir / "melody.mid").read_bytes())["division"]
        frames_per_second = 256 - (division >> 8)
        self.assertEqual((frames_per_second, division & 0xFF), (25, 40))
