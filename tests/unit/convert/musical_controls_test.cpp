#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/column_resample.h"
#include "convert/length_fit.h"
#include "convert/melody.h"
#include "convert/scale_snap.h"
#include "convert/seeded_bits.h"

namespace pixorale {
namespace {

struct Pixel {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
};

std::vector<uint8_t> RowBytes(const std::vector<Pixel>& pixels) {
  std::vector<uint8_t> row;
  for (const Pixel& p : pixels) {
    row.push_back(p.blue);
    row.push_back(p.green);
    row.push_back(p.red);
  }
  return row;
}

// The pitch row holds the pixels; the middle row steps by one 32nd note.
BitmapImage Picture(const std::vector<Pixel>& pitchRow) {
  BitmapImage image;
  image.AdoptRows24(static_cast<uint32_t>(pitchRow.size()), 2, RowBytes(pitchRow),
                    RowBytes(std::vector<Pixel>(pitchRow.size(), Pixel{1, 0, 0})));
  return image;
}

struct Note {
  uint8_t pitch;
  uint8_t velocity;
  bool operator==(const Note&) const = default;
};

std::vector<Note> MelodyNotes(BitmapImage image, const ConversionParameters& params) {
  Song song;
  SeededBits bits(3);
  ConvertImageToSong(song, image, params, bits);
  std::vector<Note> notes;
  for (const MidiEvent& event : song.tracks.at(0).events) {
    if (event.status == midi_status::kNoteOn) notes.push_back({event.data1, event.data2[0]});
  }
  return notes;
}

ConversionParameters Plain() {
  ConversionParameters params;
  params.resolution = 96;
  params.sustainQuarters = 0.125;
  params.tempo = 120;
  return params;
}

TEST(ResampleColumns, EachColumnIsTheRoundedMeanOfItsSpanOrItsFirstColumn) {
  std::vector<Pixel> source;
  for (int c = 0; c < 7; ++c) {
    source.push_back({static_cast<uint8_t>(c * 37), static_cast<uint8_t>(250 - c * 11),
                      static_cast<uint8_t>((c * c * 13) % 256)});
  }
  for (const uint32_t columns : {1u, 2u, 3u, 7u, 10u}) {
    BitmapImage image = Picture(source);
    ResampleColumns(image, columns);
    ASSERT_EQ(image.width, columns);
    const std::span<const uint8_t> row = image.Row24(0);
    for (uint32_t i = 0; i < columns; ++i) {
      const size_t first = i * source.size() / columns;
      size_t end = (i + 1) * source.size() / columns;
      if (end <= first) end = first + 1;
      for (int byte = 0; byte < 3; ++byte) {
        double sum = 0;
        for (size_t c = first; c < end; ++c) {
          const Pixel& p = source[c];
          sum += byte == 0 ? p.blue : byte == 1 ? p.green : p.red;
        }
        const auto expected = static_cast<int>(std::floor(sum / double(end - first) + 0.5));
        EXPECT_EQ(row[3 * i + byte], expected) << columns << " columns, column " << i;
      }
    }
  }
}

TEST(MusicalControls, PitchMapFollowsItsFormulaAtBothEndsAndTheMiddle) {
  ConversionParameters params = Plain();
  params.controls.pitchMap = PitchMap{48, 84};
  params.controls.extraScale =
      ExtraScale::kChromatic;  // no snapping: the mapped pitches as they are
  const std::vector<Note> notes =
      MelodyNotes(Picture({{0, 0, 0}, {0, 0, 255}, {0, 0, 128}, {0, 0, 200}}), params);
  ASSERT_EQ(notes.size(), 4u);
  // 48 + 128 * 36 / 255 = 66.07; 48 + 200 * 36 / 255 = 76.24: no fold above 127.
  EXPECT_EQ((std::vector<uint8_t>{notes[0].pitch, notes[1].pitch, notes[2].pitch, notes[3].pitch}),
            (std::vector<uint8_t>{48, 84, 66, 76}));
}

TEST(MusicalControls, DynamicsTakeTheVelocityFromTheGreenByte) {
  ConversionParameters params = Plain();
  params.controls.dynamics = true;
  const std::vector<Note> notes =
      MelodyNotes(Picture({{0, 0, 60}, {0, 255, 62}, {0, 128, 64}}), params);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].velocity, 40);
  EXPECT_EQ(notes[1].velocity, 127);
  EXPECT_EQ(notes[2].velocity, 84);  // 40 + 128 * 87 / 255 = 83.67
}

// Every pitch of 0 to 127 lands in the scale rooted on the key, for every key and scale.
TEST(MusicalControls, KeyAndScaleGiveOnlyPitchesOfThatKey) {
  std::vector<Pixel> everyRed;
  for (int red = 0; red < 128; ++red) everyRed.push_back({0, 0, static_cast<uint8_t>(red)});
  const uint16_t major = PitchClasses({0, 2, 4, 5, 7, 9, 11});
  struct Case {
    std::optional<ExtraScale> extra;
    uint16_t classes;
  };
  const Case cases[] = {{std::nullopt, major},
                        {ExtraScale::kMajorPentatonic, kExtraScales[0].pitchClasses},
                        {ExtraScale::kMinorPentatonic, kExtraScales[1].pitchClasses},
                        {ExtraScale::kBlues, kExtraScales[2].pitchClasses},
                        {ExtraScale::kWholeTone, kExtraScales[3].pitchClasses}};
  for (const Case& c : cases) {
    for (uint8_t key = 0; key < 12; ++key) {
      ConversionParameters params = Plain();
      params.controls.key = key;
      params.controls.extraScale = c.extra;
      for (const Note& note : MelodyNotes(Picture(everyRed), params)) {
        const unsigned pitchClass = (note.pitch + 12u - key) % 12u;
        EXPECT_TRUE((c.classes >> pitchClass) & 1u)
            << "key " << int{key} << ", pitch " << int{note.pitch};
      }
    }
  }
}

// Counts the values drawn; each is the given one.
class CountingBits final : public RandomBitSource {
 public:
  explicit CountingBits(uint32_t value) : value_(value) {}
  uint32_t Draw() override {
    ++draws_;
    return value_;
  }
  size_t draws() const { return draws_; }

 private:
  uint32_t value_;
  size_t draws_ = 0;
};

// With a pitch map every note lies within it wherever the scale has a pitch there, for every
// scale, key and drawn direction, and is a pitch of the scale; as many values are drawn as
// without the map.
TEST(MusicalControls, PitchMapKeepsEverySnappedPitchWithinTheMap) {
  std::vector<Pixel> everyRed;
  for (int red = 0; red < 256; ++red) everyRed.push_back({0, 0, static_cast<uint8_t>(red)});
  std::vector<std::pair<uint8_t, std::optional<ExtraScale>>> scales;
  for (uint8_t index = 0; index < kScaleCount; ++index) scales.push_back({index, std::nullopt});
  for (size_t extra = 0; extra < kExtraScales.size(); ++extra) {
    scales.push_back({0, static_cast<ExtraScale>(extra)});
  }
  const PitchMap maps[] = {{48, 84}, {0, 127}, {0, 5}, {120, 127}, {61, 63}, {64, 66}};
  for (const auto& [scaleIndex, extra] : scales) {
    // The C scale's pitch classes, bit n for n semitones above C.
    uint16_t classes = extra ? InfoOf(*extra).pitchClasses : uint16_t{0x0FFF};
    if (!extra) {
      for (const uint8_t offset : kScales[scaleIndex].outOfScaleOffsets) {
        classes = static_cast<uint16_t>(classes & ~(1u << ((1u + offset) % 12u)));
      }
    }
    for (uint8_t key = 0; key < 12; ++key) {
      const auto inScale = [&](int pitch) {
        return ((classes >> ((static_cast<unsigned>(pitch) + 12u - key) % 12u)) & 1u) != 0;
      };
      for (const PitchMap map : maps) {
        bool mapHasAScalePitch = false;
        for (int p = map.low; p <= map.high; ++p)
          mapHasAScalePitch = mapHasAScalePitch || inScale(p);
        for (const uint32_t bit : {0u, 1u}) {
          ConversionParameters params = Plain();
          params.scaleIndex = scaleIndex;
          params.controls.extraScale = extra;
          params.controls.key = key;
          params.controls.pitchMap = map;
          Song song;
          BitmapImage image = Picture(everyRed);
          CountingBits bits(bit);
          ConvertImageToSong(song, image, params, bits);
          EXPECT_EQ(bits.draws(), 11 * everyRed.size());
          for (const MidiEvent& event : song.tracks.at(0).events) {
            if (event.status != midi_status::kNoteOn || !mapHasAScalePitch) continue;
            const std::string where = "scale " + std::to_string(scaleIndex) + " extra " +
                                      std::to_string(extra ? int(*extra) : -1) + " key " +
                                      std::to_string(key) + " map " + std::to_string(map.low) +
                                      ":" + std::to_string(map.high) + " bit " +
                                      std::to_string(bit) + " pitch " + std::to_string(event.data1);
            EXPECT_GE(event.data1, map.low) << where;
            EXPECT_LE(event.data1, map.high) << where;
            EXPECT_TRUE(inScale(event.data1)) << where;
          }
        }
      }
    }
  }
}

TEST(ExtraScaleSnap, MovesToTheNearestScalePitchTheDrawnWayAndTurnsAtTheEnds) {
  FixedBits up(1);
  FixedBits down(0);
  // Major pentatonic C D E G A: F goes up to G or down to E; B up to the next C.
  EXPECT_EQ(SnapPitchToExtraScale(65, ExtraScale::kMajorPentatonic, up), 67);
  EXPECT_EQ(SnapPitchToExtraScale(65, ExtraScale::kMajorPentatonic, down), 64);
  EXPECT_EQ(SnapPitchToExtraScale(71, ExtraScale::kMajorPentatonic, up), 72);
  // 127 (G) is in the scale; 126 (F#) has nothing above within 127 but G: fine; 125 (F) up
  // reaches G. Nothing lies above a B at the top, so it turns down.
  EXPECT_EQ(SnapPitchToExtraScale(125, ExtraScale::kMajorPentatonic, up), 127);
  EXPECT_EQ(SnapPitchToExtraScale(127, ExtraScale::kWholeTone, up), 126);
}

// The chosen count fits; where it was stepped down from the first estimate, floor(W * S / L),
// one more column would not.
TEST(ColumnsWithin, TheSongFitsAndOneColumnMoreWouldNot) {
  std::vector<Pixel> pitchRow;
  std::vector<Pixel> stepRow;
  for (int c = 0; c < 997; ++c) {
    pitchRow.push_back({0, 0, 60});
    stepRow.push_back({static_cast<uint8_t>((c * 7) % 9), 0, 0});
  }
  BitmapImage image;
  image.AdoptRows24(997, 3, RowBytes(pitchRow), RowBytes(stepRow));
  ConversionParameters params = Plain();
  params.resolution = 768;
  params.sustainQuarters = 2.0;
  const double whole = SongSecondsAt(image, params, 997);
  for (const double limit : {1.0, 7.5, whole / 3, whole - 0.001}) {
    const uint32_t columns = ColumnsWithin(image, params, limit);
    EXPECT_LE(SongSecondsAt(image, params, columns), limit) << limit;
    if (columns < static_cast<uint32_t>(997 * limit / whole)) {
      EXPECT_GT(SongSecondsAt(image, params, columns + 1), limit) << limit;
    }
  }
  EXPECT_EQ(ColumnsWithin(image, params, whole), 997u) << "a song that fits keeps every column";

  // The length computed without converting is the converted song's.
  params.controls.maxSeconds = 7.5;
  Song song;
  FixedBits down(0);
  BitmapImage converted = image;
  ConvertImageToSong(song, converted, params, down);
  uint64_t ticks = 0;
  for (const MidiEvent& event : song.tracks.at(0).events) ticks += event.delta.value;
  EXPECT_DOUBLE_EQ(static_cast<double>(ticks) / 768 * 0.5,
                   SongSecondsAt(image, params, ColumnsWithin(image, params, 7.5)));
}

}  // namespace
}  // namespace pixorale
