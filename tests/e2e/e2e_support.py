"""Shared helpers of the end-to-end tests: pictures made on the spot, the installed converter
run as a black box, and every MIDI file it writes read back by three parsers that did not
write it: a strict one of our own, python3-mido and midicsv."""

import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import unittest

import mido

CONVERTER = os.environ.get("PIXORALE_CONVERT", "pixorale-convert")
MANUAL_DIR = pathlib.Path(os.environ.get("PIXORALE_MANDIR", "/nonexistent"))
SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]

sys.path.insert(0, str(SOURCE_DIR / "tests" / "corpus"))
from bmp_bytes import picture as bmp_picture  # noqa: E402

WORKED_REDS = [60, 62, 64, 65, 65, 67]
WORKED_BLUES = [0, 1, 1, 8, 1, 8]
# The worked example at resolution 480, sustain 4, C major: (tick, kind, pitch).
WORKED_NOTES = [
    (0, "on", 60), (60, "on", 62), (120, "on", 64), (240, "off", 60),
    (300, "off", 62), (360, "off", 64), (600, "on", 65), (660, "off", 65),
    (660, "on", 65), (900, "off", 65), (1140, "on", 67), (1380, "off", 67),
]


# ---------------------------------------------------------------------------------------------
# Pictures

def bmp_bytes(width, height, pixel, bit_count=24):
    """A classic BMP: 14-byte file header, 40-byte info header, rows bottom-up from offset 54.
    pixel(row, column) gives (blue, green, red) for row 0 (the first stored) upwards."""
    return bmp_picture(width, height, bit_count, pixel)


def melody_bmp(reds, blues=None, height=2):
    """Row 0 holds the red bytes (pitches), the middle row the blue bytes (steps)."""
    blues = blues if blues is not None else [8] * len(reds)
    middle = height // 2

    def pixel(row, column):
        blue = blues[column] if row == middle else 0
        red = reds[column] if row == 0 else 0
        return (blue, 0, red)

    return bmp_bytes(len(reds), height, pixel)


def claims_too_much_bmp():
    """A 24-bit header announcing 1000 by 100000 pixels in a file that holds one row."""
    picture = bytearray(melody_bmp([60] * 1000, height=1))
    struct.pack_into("<i", picture, 22, 100000)
    return bytes(picture)


# ---------------------------------------------------------------------------------------------
# Reading MIDI files

def _read_varlen(data, pos):
    value = 0
    for _ in range(4):
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos
    raise ValueError("variable-length quantity longer than four bytes")


def parse_smf(data):
    """A strict reader: every chunk length must match, every event carries its status byte,
    every track ends with End of Track and nothing follows the last chunk. Returns the header
    and per track a list of (tick, kind, channel, value, value2)."""
    if data[:4] != b"MThd" or struct.unpack(">I", data[4:8])[0] != 6:
        raise ValueError("no MThd chunk of length 6")
    file_format, track_count, division = struct.unpack(">HHH", data[8:14])
    pos = 14
    tracks = []
    for _ in range(track_count):
        if data[pos:pos + 4] != b"MTrk":
            raise ValueError(f"no MTrk chunk at {pos}")
        length = struct.unpack(">I", data[pos + 4:pos + 8])[0]
        pos += 8
        end = pos + length
        if end > len(data):
            raise ValueError("track chunk runs past the end of the file")
        events, tick = [], 0
        while pos < end:
            delta, pos = _read_varlen(data, pos)
            tick += delta
            status = data[pos]
            pos += 1
            if status < 0x80:
                raise ValueError("running status")
            if status == 0xFF:
                meta_type = data[pos]
                size, pos = _read_varlen(data, pos + 1)
                payload = data[pos:pos + size]
                pos += size
                if meta_type == 0x51:
                    events.append((tick, "tempo", None, int.from_bytes(payload, "big"), None))
                elif meta_type == 0x2F:
                    events.append((tick, "end", None, None, None))
                else:
                    events.append((tick, f"meta{meta_type:02x}", None, payload, None))
            elif status & 0xF0 in (0x80, 0x90):
                kind = "on" if status & 0xF0 == 0x90 else "off"
                events.append((tick, kind, status & 0x0F, data[pos], data[pos + 1]))
                pos += 2
            elif status & 0xF0 == 0xC0:
                events.append((tick, "program", status & 0x0F, data[pos], None))
                pos += 1
            else:
                raise ValueError(f"unexpected status {status:#x}")
        if pos != end:
            raise ValueError("event runs past its track chunk")
        if not events or events[-1][1] != "end":
            raise ValueError("track does not end with End of Track")
        tracks.append(events)
    if pos != len(data):
        raise ValueError("bytes after the last track")
    return {"format": file_format, "division": division, "tracks": tracks}


def notes_by_own_parser(data):
    smf = parse_smf(data)
    return [[(t, kind, ch, note) for (t, kind, ch, note, _) in track if kind in ("on", "off")]
            for track in smf["tracks"]]


def notes_by_mido(path):
    midi = mido.MidiFile(str(path))
    result = []
    for track in midi.tracks:
        tick, notes = 0, []
        for message in track:
            tick += message.time
            if message.type == "note_on":
                notes.append((tick, "on", message.channel, message.note))
            elif message.type == "note_off":
                notes.append((tick, "off", message.channel, message.note))
        result.append(notes)
    return result


def midicsv_rows(path):
    run = subprocess.run(["midicsv", str(path)], capture_output=True, check=False)
    if run.returncode != 0:
        raise AssertionError(f"midicsv refused {path}: {run.stderr!r}")
    return [[field.strip() for field in line.split(",")]
            for line in run.stdout.decode().splitlines()]


def notes_by_midicsv(path):
    tracks = {}
    for row in midicsv_rows(path):
        track, tick, kind = int(row[0]), int(row[1]), row[2]
        if kind == "Start_track":
            tracks[track] = []
        elif kind in ("Note_on_c", "Note_off_c"):
            name = "on" if kind == "Note_on_c" else "off"
            tracks[track].append((tick, name, int(row[3]), int(row[4])))
    return [tracks[k] for k in sorted(tracks)]


def check_midi_file(test, path):
    """midicsv and mido must read the file cleanly and agree with the strict reader."""
    data = pathlib.Path(path).read_bytes()
    own = notes_by_own_parser(data)
    rows = midicsv_rows(path)
    kinds = [row[2] for row in rows]
    test.assertNotIn("Unknown_event", kinds, f"midicsv found unknown events in {path}")
    test.assertEqual(rows[-1][2], "End_of_file", path)
    test.assertEqual(kinds.count("End_track"), len(own), path)
    test.assertEqual(notes_by_midicsv(path), own, f"midicsv disagrees on {path}")
    test.assertEqual(notes_by_mido(path), own, f"mido disagrees on {path}")


def melody_notes(data, track=0):
    """(tick, kind, pitch) of one track, by the strict reader."""
    return [(t, kind, note) for (t, kind, _, note) in notes_by_own_parser(data)[track]]


def pitches(data, track=0):
    return [note for (_, kind, note) in melody_notes(data, track) if kind == "on"]


# ---------------------------------------------------------------------------------------------
# Running the converter

class ConverterTest(unittest.TestCase):
    """Each test runs in a fresh directory with no setting.set; every .mid left there is checked
    by midicsv and mido when the test ends."""

    def setUp(self):
        self._temp = tempfile.TemporaryDirectory(prefix="pixorale-e2e-")
        self.dir = pathlib.Path(self._temp.name)
        self.not_midi = set()  # .mid files a test wrote itself as stand-ins

    def tearDown(self):
        try:
            for path in sorted(self.dir.rglob("*.mid")):
                if path.is_file() and path not in self.not_midi:
                    check_midi_file(self, path)
        finally:
            self._temp.cleanup()

    def write(self, name, data):
        path = self.dir / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        return path

    def write_stand_in(self, name, data):
        """A file in an output's place that is not MIDI and must survive as it is."""
        path = self.write(name, data)
        self.not_midi.add(path)
        return path

    def run_converter(self, *args, cwd=None):
        return subprocess.run([CONVERTER, *map(str, args)], cwd=cwd or self.dir,
                              capture_output=True, stdin=subprocess.DEVNULL, check=False,
                              timeout=120)

    def convert(self, *args, cwd=None):
        """Runs the converter and requires success."""
        run = self.run_converter(*args, cwd=cwd)
        self.assertEqual(run.returncode, 0, run.stderr.decode())
        return run

    def error_lines(self, run):
        return run.stderr.decode().splitlines()
