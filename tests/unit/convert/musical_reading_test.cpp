#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "convert/harmony_plan.h"
#include "convert/key_chords.h"
#include "convert/melody.h"
#include "convert/metre_plan.h"
#include "convert/picture_contour.h"
#include "convert/score_track.h"
#include "convert/seeded_bits.h"

namespace pixorale {
namespace {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};
using Painter = std::function<Rgb(uint32_t column, uint32_t rowFromTop)>;

// A picture as a decoder would leave it: its two rows and its summary.
BitmapImage Picture(uint32_t width, uint32_t height, const Painter& paint) {
  BitmapImage image;
  const auto rowBytes = [&](uint32_t fromTop) {
    std::vector<uint8_t> row;
    for (uint32_t c = 0; c < width; ++c) {
      const Rgb p = paint(c, fromTop);
      row.insert(row.end(), {p.blue, p.green, p.red});
    }
    return row;
  };
  image.AdoptRows24(width, height, rowBytes(height - 1), rowBytes(height - 1 - height / 2));
  image.summary.Begin(width, height, width, height);
  for (uint32_t r = 0; r < height; ++r) image.summary.AddRow(r, rowBytes(r), kBlueGreenRed);
  return image;
}

// A ridge against a flat sky: the ridge's height in each column, textured land below it.
Painter Ridge(std::vector<uint32_t> heights, uint32_t width, uint32_t height) {
  return [heights, width, height](uint32_t c, uint32_t r) -> Rgb {
    const uint32_t column = c * static_cast<uint32_t>(heights.size()) / width;
    if (r < height - heights[column]) return {150, 170, 230};
    const uint8_t land = (c + r) % 2 == 0 ? 30 : 110;
    return {land, static_cast<uint8_t>(land + 20), 20};
  };
}

struct Note {
  uint32_t onset;
  uint32_t end;
  uint8_t pitch;
};

std::vector<Note> NotesOf(const Track& track) {
  std::vector<Note> notes;
  std::vector<size_t> open(128, SIZE_MAX);
  uint32_t tick = 0;
  for (const MidiEvent& event : track.events) {
    tick += event.delta.value;
    const uint8_t kind = event.status & 0xF0;
    if (kind == midi_status::kNoteOn) {
      open[event.data1] = notes.size();
      notes.push_back({tick, tick, event.data1});
    } else if (kind == midi_status::kNoteOff && open[event.data1] != SIZE_MAX) {
      notes[open[event.data1]].end = tick;
      open[event.data1] = SIZE_MAX;
    }
  }
  return notes;
}

ConversionParameters Params(MusicalReading reading) {
  ConversionParameters params;
  params.resolution = 768;
  params.sustainQuarters = 2.0;
  params.tempo = 120;
  params.controls.reading = reading;
  return params;
}

Song Convert(BitmapImage image, const ConversionParameters& params,
             std::vector<NoteSource>* sources = nullptr, uint64_t seed = 5) {
  Song song;
  SeededBits bits(seed);
  ConvertImageToSong(song, image, params, bits, sources);
  return song;
}

// Sixty-four columns whose ridge climbs to the middle and falls again.
const std::vector<uint32_t> kMountain = {4,  6,  8,  10, 12, 14, 16, 18, 20, 22, 24,
                                         26, 28, 30, 32, 30, 28, 26, 24, 22, 20, 18,
                                         16, 14, 12, 10, 8,  6,  4,  3,  2,  2};

TEST(PictureContour, TheSkylineRisesAndFallsWithTheRidge) {
  const BitmapImage image = Picture(64, 40, Ridge(kMountain, 64, 40));
  const PictureColumns read = ReadColumns(image.summary, ContourFeature::kSkyline);
  ASSERT_EQ(read.feature.size(), 64u);
  for (uint32_t c = 2; c < 64; c += 2) {
    const uint32_t before = kMountain[(c - 2) / 2];
    const uint32_t now = kMountain[c / 2];
    if (now > before) {
      EXPECT_GT(read.feature[c], read.feature[c - 2]) << c;
    }
    if (now < before) {
      EXPECT_LT(read.feature[c], read.feature[c - 2]) << c;
    }
  }
}

TEST(PictureContour, TheMelodyOfAMountainClimbsToItsPeakAndComesDown) {
  MusicalReading reading;
  reading.contour = ContourFeature::kSkyline;
  ConversionParameters params = Params(reading);
  params.controls.columns = 16;
  const Song song = Convert(Picture(64, 40, Ridge(kMountain, 64, 40)), params);
  const std::vector<Note> notes = NotesOf(song.tracks.at(0));
  ASSERT_EQ(notes.size(), 16u);
  const auto peak = std::max_element(
      notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.pitch < b.pitch; });
  const auto at = static_cast<size_t>(peak - notes.begin());
  EXPECT_GE(at, 6u);
  EXPECT_LE(at, 9u);
  for (size_t i = 1; i <= at; ++i) EXPECT_LE(notes[i - 1].pitch, notes[i].pitch) << i;
  for (size_t i = at + 1; i < notes.size(); ++i) EXPECT_GE(notes[i - 1].pitch, notes[i].pitch) << i;
  // The lowest ridge, at the right edge, and the peak take the ends of the range.
  EXPECT_EQ(notes.back().pitch, kDefaultContourLow);
  EXPECT_EQ(peak->pitch, kDefaultContourHigh);
}

struct SpreadCase {
  const char* name;
  std::vector<int32_t> values;
  std::vector<int32_t> levels;
};

TEST(SpreadLevels, LevelsComeFromTheValuesOwnSpreadAndRanks) {
  const std::vector<SpreadCase> cases = {
      {"equal values share the middle", {7, 7, 7, 7}, {512, 512, 512, 512}},
      {"an even ramp spans the range", {0, 1, 2, 3, 4}, {0, 256, 512, 768, 1024}},
      // The outlier is clipped at the 90th percentile: the rest still spread, 19 near the top
      // (a linear stretch would have put it at 9).
      {"one outlier does not squash the rest",
       {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 100000},
       {0, 51, 166, 281, 396, 512, 627, 742, 857, 972, 1024}},
      {"a dark picture spans the range like a bright one", {1, 2, 3}, {0, 512, 1024}},
  };
  for (const SpreadCase& c : cases) EXPECT_EQ(SpreadLevels(c.values), c.levels) << c.name;
}

struct MetreCase {
  const char* name;
  uint32_t width;
  uint32_t height;
  int32_t cellDetail;
  double seconds;
  Metre expected;
};

TEST(Metre, TempoBeatsAndBarsComeFromThePictureAndTheLength) {
  const std::vector<MetreCase> cases = {
      {"a calm wide picture: slowest, in four", 400, 300, 0, 60.0, {4, 84, 20}},
      {"a busy wide picture: fastest", 400, 300, 5000, 60.0, {4, 132, 32}},
      {"a tall picture sways in three", 300, 400, 0, 60.0, {3, 84, 28}},
      {"a short length is still one phrase", 400, 300, 0, 1.0, {4, 84, 4}},
      {"halfway busy", 400, 300, 96 + 320, 30.0, {4, 108, 12}},
  };
  for (const MetreCase& c : cases) {
    PictureColumns read;
    read.meanCellDetail = c.cellDetail;
    const Metre metre = ChooseMetre(read, c.width, c.height, c.seconds);
    EXPECT_EQ(metre.beatsPerBar, c.expected.beatsPerBar) << c.name;
    EXPECT_EQ(metre.tempo, c.expected.tempo) << c.name;
    EXPECT_EQ(metre.bars, c.expected.bars) << c.name;
  }
}

// Every note and rest lies on the grid, within one bar, in a few lengths; the bars are full
// and every phrase closes on its last slot.
TEST(Metre, RhythmsFillEqualBarsOnTheGridAndClosePhrases) {
  for (const uint32_t beats : {3u, 4u}) {
    for (const int32_t busy : {0, 300, 5000}) {
      PictureColumns read;
      read.rows = 8;
      for (int c = 0; c < 256; ++c) read.detail.push_back(busy * ((c * 37) % 11));
      Metre metre;
      metre.beatsPerBar = beats;
      metre.bars = 16;
      SeededBits bits(9);
      const std::vector<Slot> slots = PlanRhythm(metre, read, bits);
      const uint32_t bar = metre.SixteenthsPerBar();
      uint32_t at = 0;
      std::set<uint32_t> closings;
      for (const Slot& slot : slots) {
        EXPECT_EQ(slot.onset, at);
        EXPECT_TRUE(std::set<uint32_t>({2, 4, 6, 8, 12}).count(slot.length)) << slot.length;
        EXPECT_EQ(slot.onset / bar, (slot.onset + slot.length - 1) / bar) << "crosses a bar";
        if (slot.phraseEnd) closings.insert(slot.onset + slot.length);
        at += slot.length;
      }
      EXPECT_EQ(at, metre.Sixteenths());
      EXPECT_EQ(closings, (std::set<uint32_t>{4 * bar, 8 * bar, 12 * bar, 16 * bar}));
    }
  }
}

TEST(Metre, TheEmptiestBarsRestButNeverAPhrasesFirstOrLast) {
  PictureColumns read;
  read.rows = 4;
  // Busy everywhere but the columns of bars 1, 2 and 6.
  for (int c = 0; c < 64; ++c) {
    const int bar = c / 8;
    read.detail.push_back(bar == 1 || bar == 2 || bar == 6 ? 0 : 4000);
  }
  Metre metre;
  metre.bars = 8;
  SeededBits bits(1);
  std::set<uint32_t> restingBars;
  for (const Slot& slot : PlanRhythm(metre, read, bits)) {
    if (slot.rest) restingBars.insert(slot.onset / 16);
  }
  // One bar in four may rest: two of the three empty ones.
  EXPECT_EQ(restingBars.size(), 2u);
  for (const uint32_t bar : restingBars) EXPECT_TRUE(bar == 1 || bar == 2 || bar == 6) << bar;
}

struct ScaleCase {
  const char* name;
  uint8_t scaleIndex;
  std::optional<ExtraScale> extra;
  uint8_t key;
  std::set<int> classes;
};

MusicalReading Everything() {
  MusicalReading reading;
  reading.contour = ContourFeature::kSkyline;
  reading.metre = true;
  reading.melodic = true;
  reading.harmony = true;
  return reading;
}

// The whole reading in several keys and scales: every melody and chord note in the scale, each
// phrase closing on the tonic or the dominant, the song closing on the tonic, chords on the
// key's triads with a bass below them, the strong beats on the chord's notes.
TEST(MusicalReading, KeyScalePhrasesAndChordsHold) {
  const std::vector<ScaleCase> cases = {
      {"C major", 0, std::nullopt, 0, {0, 2, 4, 5, 7, 9, 11}},
      {"D minor pentatonic", 0, ExtraScale::kMinorPentatonic, 2, {2, 5, 7, 9, 0}},
      {"A natural minor", 1, std::nullopt, 9, {9, 11, 0, 2, 4, 5, 7}},
  };
  for (const ScaleCase& c : cases) {
    ConversionParameters params = Params(Everything());
    params.scaleIndex = c.scaleIndex;
    params.controls.extraScale = c.extra;
    params.controls.key = c.key;
    params.chordMode = 1;
    const Song song = Convert(Picture(96, 48, Ridge(kMountain, 96, 48)), params);
    ASSERT_EQ(song.tracks.size(), 2u) << c.name;
    const std::vector<Note> melody = NotesOf(song.tracks[0]);
    const std::vector<Note> chords = NotesOf(song.tracks[1]);
    ASSERT_FALSE(melody.empty());
    const uint32_t bar = 4 * 768;
    const uint32_t quarter = 768;
    const uint16_t classes = ScaleClasses(c.scaleIndex, c.extra);
    const std::vector<KeyChord> keyChords = KeyChords(classes, c.key);
    for (const Note& note : melody) {
      EXPECT_TRUE(c.classes.count(note.pitch % 12)) << c.name << " melody " << int{note.pitch};
      EXPECT_EQ(note.onset % (quarter / 4), 0u) << "off the grid";
      if (note.end % (4 * bar) == 0) {
        const int closing = (note.pitch - c.key + 12) % 12;
        EXPECT_TRUE(closing == 0 || closing == 7) << c.name << " closes on " << closing;
      }
      // The chord under a strong beat holds the note.
      if (note.onset % (bar / 2) == 0) {
        std::set<int> sounding;
        for (const Note& chord : chords) {
          if (chord.onset <= note.onset && note.onset < chord.end)
            sounding.insert(chord.pitch % 12);
        }
        EXPECT_TRUE(sounding.count(note.pitch % 12)) << c.name << " at " << note.onset;
      }
    }
    EXPECT_EQ((melody.back().pitch - c.key + 12) % 12, 0) << c.name << ": ends on the tonic";
    // Chords: the bass and a triad of the key, sounding together, in whole bars or halves.
    std::map<uint32_t, std::vector<uint8_t>> byOnset;
    for (const Note& chord : chords) byOnset[chord.onset].push_back(chord.pitch);
    for (const auto& [onset, pitches] : byOnset) {
      ASSERT_EQ(pitches.size(), 4u) << c.name;
      EXPECT_EQ(onset % (bar / 2), 0u);
      const uint8_t bass = *std::min_element(pitches.begin(), pitches.end());
      std::set<int> triad;
      for (const uint8_t p : pitches) {
        if (p != bass) triad.insert(p % 12);
      }
      const bool ofTheKey = std::any_of(keyChords.begin(), keyChords.end(), [&](const KeyChord& k) {
        return std::set<int>(k.classes.begin(), k.classes.end()) == triad && k.root == bass % 12;
      });
      EXPECT_TRUE(ofTheKey) << c.name << " at " << onset;
      EXPECT_GE(bass, 40);
      for (const uint8_t p : pitches) EXPECT_LT(p, 64);
    }
  }
}

TEST(MusicalReading, MelodicSenseLeavesNoRepeatedPitchAndStepsBackAfterALeap) {
  MusicalReading reading = Everything();
  reading.harmony = false;
  // A flat horizon: the contour hardly moves, so a plain reading would repeat its pitches.
  const BitmapImage flat = Picture(128, 32, Ridge(std::vector<uint32_t>(32, 12), 128, 32));
  for (const uint64_t seed : {1u, 2u, 3u}) {
    const std::vector<Note> notes =
        NotesOf(Convert(flat, Params(reading), nullptr, seed).tracks[0]);
    ASSERT_GT(notes.size(), 20u);
    for (size_t i = 1; i < notes.size(); ++i) {
      EXPECT_NE(notes[i].pitch, notes[i - 1].pitch) << "note " << i;
    }
  }
  const BitmapImage mountain = Picture(64, 40, Ridge(kMountain, 64, 40));
  const std::vector<Note> notes = NotesOf(Convert(mountain, Params(reading)).tracks[0]);
  for (size_t i = 2; i < notes.size(); ++i) {
    const int leap = notes[i - 1].pitch - notes[i - 2].pitch;
    const int next = notes[i].pitch - notes[i - 1].pitch;
    if (std::abs(leap) > 7) {
      EXPECT_LT(leap * next, 0) << "a leap at note " << i - 1;
    }
  }
}

TEST(MusicalReading, EachNoteSaysWhereInThePictureItWasRead) {
  std::vector<NoteSource> sources;
  const Song song =
      Convert(Picture(64, 40, Ridge(kMountain, 64, 40)), Params(Everything()), &sources);
  const std::vector<Note> notes = NotesOf(song.tracks[0]);
  ASSERT_EQ(sources.size(), notes.size());
  uint32_t column = 0;
  for (const NoteSource& source : sources) {
    EXPECT_GE(source.firstColumn, column);
    EXPECT_LT(source.firstColumn, source.endColumn);
    EXPECT_LE(source.endColumn, 64u);
    EXPECT_LT(source.topRow, source.bottomRow);
    EXPECT_LE(source.bottomRow, 40u);
    column = source.firstColumn;
    // The skyline band lies where the land's detail begins: from the ridge down into the
    // upper half of the land, never up in the sky.
    const uint32_t ridgeTop = 40 - kMountain[(source.firstColumn + source.endColumn) / 4];
    EXPECT_GE(source.topRow + 3, ridgeTop);
    EXPECT_LE(source.bottomRow, ridgeTop + (40 - ridgeTop) / 2 + 3);
  }
}

TEST(MusicalReading, TheSameSeedGivesTheSameSongAndEachPartChangesIt) {
  const BitmapImage picture = Picture(64, 40, Ridge(kMountain, 64, 40));
  const auto notes = [&](MusicalReading reading, uint64_t seed) {
    ConversionParameters params = Params(reading);
    params.chordMode = 1;
    Song song = Convert(picture, params, nullptr, seed);
    std::vector<uint8_t> bytes;
    for (const Track& track : song.tracks) {
      for (const MidiEvent& e : track.events) {
        bytes.insert(bytes.end(), {e.status, e.data1, e.data2[0]});
        bytes.push_back(static_cast<uint8_t>(e.delta.value));
      }
    }
    return bytes;
  };
  const MusicalReading all = Everything();
  EXPECT_EQ(notes(all, 4), notes(all, 4));
  for (int part = 0; part < 4; ++part) {
    MusicalReading fewer = all;
    if (part == 0) fewer.contour.reset();
    if (part == 1) fewer.metre = false;
    if (part == 2) fewer.melodic = false;
    if (part == 3) fewer.harmony = false;
    EXPECT_NE(notes(fewer, 4), notes(all, 4)) << "part " << part;
  }
}

struct EdgeCase {
  const char* name;
  uint32_t width;
  uint32_t height;
  uint16_t resolution;
  double sustainQuarters;
  bool metre;
};

// Pictures of one row or column, a division too small for sixteenths, a sustain of nothing:
// each gives a well-formed song, a source for every melody note, and nothing sounding at its end.
TEST(MusicalReading, EdgePicturesAndSettingsGiveWellFormedSongs) {
  const std::vector<EdgeCase> cases = {
      {"one pixel", 1, 1, 768, 2.0, true},
      {"one column", 1, 300, 768, 2.0, true},
      {"one row", 300, 1, 768, 2.0, true},
      {"division 1", 64, 40, 1, 2.0, true},
      {"division 3", 64, 40, 3, 2.0, true},
      {"no sustain", 64, 40, 768, 0.0, false},
      {"one pixel, plain steps", 1, 1, 768, 2.0, false},
  };
  for (const EdgeCase& c : cases) {
    MusicalReading reading = Everything();
    reading.metre = c.metre;
    ConversionParameters params = Params(reading);
    params.resolution = c.resolution;
    params.sustainQuarters = c.sustainQuarters;
    params.chordMode = 1;
    std::vector<NoteSource> sources;
    const Song song =
        Convert(Picture(c.width, c.height, Ridge({3}, c.width, c.height)), params, &sources);
    ASSERT_EQ(song.tracks.size(), 2u) << c.name;
    for (const Track& track : song.tracks) {
      ASSERT_FALSE(track.events.empty());
      EXPECT_TRUE(track.events.back().IsEndOfTrack()) << c.name;
      int sounding = 0;
      for (const MidiEvent& event : track.events) {
        if ((event.status & 0xF0) == midi_status::kNoteOn) ++sounding;
        if ((event.status & 0xF0) == midi_status::kNoteOff) --sounding;
      }
      EXPECT_EQ(sounding, 0) << c.name;
    }
    EXPECT_EQ(sources.size(), NotesOf(song.tracks[0]).size()) << c.name;
  }
}

TEST(ScoreTrack, NotesBecomeEventsInTimeOrderAndARestruckNoteEndsWhereStruckAgain) {
  Track track;
  AppendScoreNotes(track, {{100, 300, 64, 90}, {0, 200, 60, 80}, {200, 400, 60, 70}}, 0);
  const std::vector<std::tuple<uint32_t, uint8_t, uint8_t>> expected = {
      {0, 0x90, 60}, {100, 0x90, 64}, {100, 0x80, 60},
      {0, 0x90, 60}, {100, 0x80, 64}, {100, 0x80, 60}};
  ASSERT_EQ(track.events.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [delta, status, pitch] = expected[i];
    EXPECT_EQ(track.events[i].delta.value, delta) << i;
    EXPECT_EQ(track.events[i].status, status) << i;
    EXPECT_EQ(track.events[i].data1, pitch) << i;
  }
}

}  // namespace
}  // namespace pixorale
