"""Each conversion option's effect on the written file, read back by three parsers."""

import json
import shutil
import unittest

import mido

from e2e_support import (SOURCE_DIR, WORKED_BLUES, WORKED_NOTES, WORKED_REDS, ConverterTest,
                         melody_bmp, melody_notes, notes_by_midicsv, parse_smf, pitches)

# C, E, C#, F#, A#: some of them out of every scale below, so the scale shows in the pitches.
MIXED_REDS = [60, 64, 61, 66, 70]


def first_note_length(data):
    notes = melody_notes(data)
    on_tick, _, pitch = notes[0]
    off_tick = next(t for (t, kind, p) in notes if kind == "off" and p == pitch)
    return off_tick - on_tick


def tempo(data):
    return next(value for (_, kind, _, value, _) in parse_smf(data)["tracks"][0]
                if kind == "tempo")


def note_on_ticks(data):
    return [t for (t, kind, _) in melody_notes(data) if kind == "on"]


# (options, red bytes of the picture, what to read from the file, expected value)
CASES = [
    ([], MIXED_REDS, lambda d: parse_smf(d)["division"], 768),
    ([], MIXED_REDS, tempo, 500000),
    ([], MIXED_REDS, first_note_length, 1536),
    ([], MIXED_REDS, lambda d: len(parse_smf(d)["tracks"]), 1),
    ([], MIXED_REDS, pitches, [60, 64, 60, 65, 69]),
    (["--scale", "c-dorian"], MIXED_REDS, pitches, [60, 63, 60, 65, 70]),
    (["--scale", "4"], MIXED_REDS, pitches, [60, 63, 60, 65, 70]),
    (["--scale", "c-harmonic-minor"], MIXED_REDS, pitches, [60, 63, 60, 65, 68]),
    (["--scale", "c-locrian"], MIXED_REDS, pitches, [60, 63, 61, 66, 70]),
    (["--sustain", "4"], MIXED_REDS, first_note_length, 384),
    (["--sustain", "4", "--resolution", "480"], MIXED_REDS, first_note_length, 240),
    (["--tempo", "60"], MIXED_REDS, tempo, 1000000),
    (["--tempo", "1"], MIXED_REDS, tempo, 0xFFFFFF),
    # One tick a millisecond: 25 frames per second (-25 in the high byte) of 40 ticks.
    (["--timing", "ms"], MIXED_REDS, lambda d: parse_smf(d)["division"], 0xE728),
    (["--timing", "beat"], MIXED_REDS, lambda d: parse_smf(d)["division"], 768),
    (["--resolution", "480"], MIXED_REDS, lambda d: parse_smf(d)["division"], 480),
    (["--resolution", "480"], MIXED_REDS, note_on_ticks, [0, 480, 960, 1440, 1920]),
    (["--chords"], MIXED_REDS, lambda d: len(parse_smf(d)["tracks"]), 2),
    (["--no-chords"], MIXED_REDS, lambda d: len(parse_smf(d)["tracks"]), 1),
    # Rescaled to 40, 56, 80, then snapped down in C major.
    (["--range", "40:80"], [10, 20, 35], pitches, [40, 55, 79]),
    # A high not above the low means no range.
    (["--range", "80:40"], [10, 20, 35], pitches, [9, 19, 35]),
    (["--range", "60:60"], [10, 20, 35], pitches, [9, 19, 35]),
    (["--no-range"], [10, 20, 35], pitches, [9, 19, 35]),
]


class OptionEffects(ConverterTest):
    def test_each_option_changes_the_written_file_as_documented(self):
        for number, (options, reds, read, expected) in enumerate(CASES):
            with self.subTest(options=options, reds=reds):
                picture = self.write(f"case{number}.bmp", melody_bmp(reds))
                self.convert(picture, "--snap", "down", *options)
                output = self.dir / f"case{number}.mid"
                self.assertEqual(read(output.read_bytes()), expected)

    def test_chord_track_plays_on_the_second_channel(self):
        picture = self.write("picture.bmp", melody_bmp(MIXED_REDS))
        self.convert(picture, "--chords", "--snap", "down")
        tracks = notes_by_midicsv(self.dir / "picture.mid")
        self.assertEqual({channel for (_, _, channel, _) in tracks[0]}, {0})
        self.assertTrue(tracks[1], "the chord track holds notes")
        self.assertEqual({channel for (_, _, channel, _) in tracks[1]}, {1})


class MusicalPreset(ConverterTest):
    """--preset musical through the installed converter: its options spelled out, its song."""

    PRESET = ["--contour", "skyline", "--metre", "--melodic", "--harmony", "--chords", "--map",
              "60:84", "--program", "73", "--chord-program", "89", "--chord-velocity", "64"]

    def setUp(self):
        super().setUp()
        self.picture = self.dir / "photo.bmp"
        shutil.copy(SOURCE_DIR / "samples" / "photo.bmp", self.picture)

    def test_the_preset_writes_what_its_options_spelled_out_write(self):
        self.convert(self.picture, "--seed", "3", "--preset", "musical", "-o", "preset.mid")
        self.convert(self.picture, "--seed", "3", *self.PRESET, "-o", "spelled.mid")
        self.assertEqual((self.dir / "preset.mid").read_bytes(),
                         (self.dir / "spelled.mid").read_bytes())

    def test_the_song_has_a_metre_a_grid_and_its_voices(self):
        self.convert(self.picture, "--seed", "3", "--preset", "musical", "-o", "song.mid")
        midi = mido.MidiFile(str(self.dir / "song.mid"))
        self.assertEqual(len(midi.tracks), 2)
        signatures = [m for m in midi.tracks[0] if m.type == "time_signature"]
        self.assertEqual([(m.numerator, m.denominator) for m in signatures], [(4, 4)])
        bpm = round(mido.tempo2bpm(next(m.tempo for m in midi.tracks[0] if m.type == "set_tempo")))
        self.assertTrue(84 <= bpm <= 132, bpm)
        programs = {(m.channel, m.program) for track in midi.tracks for m in track
                    if m.type == "program_change"}
        self.assertEqual(programs, {(0, 73), (1, 89)})
        tick, onsets = 0, []
        for message in midi.tracks[0]:
            tick += message.time
            if message.type == "note_on" and message.velocity > 0:
                onsets.append(tick)
        sixteenth = midi.ticks_per_beat // 4
        self.assertTrue(onsets)
        self.assertEqual([t for t in onsets if t % sixteenth], [])
        self.assertTrue(45 <= midi.length <= 75, midi.length)

    def test_the_report_states_the_reading(self):
        run = self.convert(self.picture, "--seed", "3", "--preset", "musical", "--json", "-f")
        settings = json.loads(run.stdout)["settings"]
        self.assertEqual({key: settings[key] for key in
                          ("contour", "metre", "melodic", "harmony", "song_seconds", "map")},
                         {"contour": "skyline", "metre": True, "melodic": True, "harmony": True,
                          "song_seconds": 60.0, "map": [60, 84]})


class WorkedExample(ConverterTest):
    def test_melody_of_the_worked_example_read_by_mido(self):
        picture = self.write("melody.bmp", melody_bmp(WORKED_REDS, WORKED_BLUES))
        self.convert(picture, "--resolution", "480", "--sustain", "4", "--scale", "c-major")
        midi = mido.MidiFile(str(self.dir / "melody.mid"))
        self.assertEqual(midi.type, 1)
        self.assertEqual(midi.ticks_per_beat, 480)
        self.assertEqual(len(midi.tracks), 1)
        tick, notes = 0, []
        for message in midi.tracks[0]:
            tick += message.time
            if message.type in ("note_on", "note_off"):
                notes.append((tick, message.type[5:], message.note))
        self.assertEqual(notes, WORKED_NOTES)
        tempos = [m.tempo for m in midi.tracks[0] if m.type == "set_tempo"]
        self.assertEqual(tempos, [500000])


if __name__ == "__main__":
    unittest.main()
