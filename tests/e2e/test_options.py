"""Each conversion option's effect on the written file, read back by three parsers."""

import unittest

import mido

from e2e_support import (WORKED_BLUES, WORKED_NOTES, WORKED_REDS, ConverterTest, melody_bmp,
                         melody_notes, notes_by_midicsv, parse_smf, pitches)

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
