#include "convert/voices.h"

#include <gtest/gtest.h>

#include <sstream>

#include "convert/melody.h"
#include "convert/seeded_bits.h"
#include "image/bitmap_image.h"
#include "midi/smf_writer.h"

namespace pixorale {
namespace {

// A melody with chords from a small picture whose pitches are in the scale.
Song ConvertedSong(const SongVoices& voices = {}) {
  BitmapImage image;
  std::vector<uint8_t> row;
  // Pushed byte by byte: GCC 12 warns falsely on inserting a list here at -O3.
  for (uint8_t red : {60, 64, 67, 72, 60}) {
    row.push_back(3);
    row.push_back(0);
    row.push_back(red);
  }
  image.AdoptRows24(5, 2, row, row);
  ConversionParameters params;
  params.resolution = 480;
  params.sustainQuarters = 1.0;
  params.tempo = 120;
  params.chordMode = 1;
  params.controls.voices = voices;
  SeededBits bits(1);
  Song song;
  ConvertImageToSong(song, image, params, bits);
  return song;
}

std::string FileBytes(Song song) {
  std::ostringstream out;
  WriteSong(song, out);
  return out.str();
}

TEST(Voices, OtherVoicesChangeOnlyProgramsAndNoteOnVelocities) {
  const std::string plain = FileBytes(ConvertedSong());
  const std::string voiced = FileBytes(ConvertedSong(SongVoices{{40, 64}, {0, 127}}));
  ASSERT_EQ(voiced.size(), plain.size());
  size_t differing = 0;
  for (size_t i = 0; i < plain.size(); ++i) differing += plain[i] != voiced[i] ? 1 : 0;
  // Two program numbers and one velocity byte per note-on; every other byte is as it was.
  EXPECT_GT(differing, 5u);
}

TEST(Voices, EachPartGetsItsProgramAndNoteOnVelocity) {
  const Song song = ConvertedSong(SongVoices{{40, 64}, {0, 127}});
  ASSERT_EQ(song.tracks.size(), 2u);
  int programChanges = 0;
  int noteOns = 0;
  for (size_t t = 0; t < 2; ++t) {
    const Voice expected = t == 0 ? Voice{40, 64} : Voice{0, 127};
    for (const MidiEvent& event : song.tracks[t].events) {
      const uint8_t kind = event.status & 0xF0;
      if (kind == midi_status::kProgramChange) {
        ++programChanges;
        EXPECT_EQ(event.data1, expected.program);
      } else if (kind == midi_status::kNoteOn) {
        ++noteOns;
        EXPECT_EQ(event.data2[0], expected.velocity);
      } else if (kind == midi_status::kNoteOff) {
        EXPECT_EQ(event.data2[0], 0);
      }
    }
  }
  EXPECT_EQ(programChanges, 2);
  EXPECT_GT(noteOns, 5);
}

}  // namespace
}  // namespace pixorale
