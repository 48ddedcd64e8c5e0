#include "convert/melody.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "convert/column_resample.h"
#include "support/image_loader.h"
#include "support/track_view.h"

namespace pixorale {
namespace {

using test::NoteEvent;
using test::NoteEvents;

constexpr uint8_t kOn = 0x90;
constexpr uint8_t kOff = 0x80;
constexpr size_t kLeadingEvents = 2;  // tempo and program change

ConversionParameters Params(uint16_t resolution, uint32_t sustain, uint32_t tempo = 120) {
  ConversionParameters params;
  params.scaleIndex = 0;
  params.resolution = resolution;
  params.sustainQuarters = sustain * 0.125;
  params.tempo = tempo;
  return params;
}

class MelodyTrack : public ::testing::Test {
 protected:
  // Converts a picture whose row 0 has `reds` and whose middle row has `blues`.
  const Track& Convert(const std::vector<uint8_t>& reds, const std::vector<uint8_t>& blues,
                       const ConversionParameters& params, int32_t height = 2) {
    image_.FreeBitmap();
    test::LoadImageBytes(image_, test::MakeMelodyBmp(reds, blues, height));
    FixedBits down(0);
    EXPECT_TRUE(ConvertImageToSong(song_, image_, params, down));
    return song_.tracks.at(0);
  }

  std::vector<NoteEvent> Notes(const Track& track) {
    auto events = NoteEvents(track, kLeadingEvents);
    EXPECT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (NoteEvent{0xFF, 0x2F, 0})) << "End of Track closes the track";
    events.pop_back();
    return events;
  }

  Song song_;
  BitmapImage image_;
};

TEST_F(MelodyTrack, WorkedExampleEventForEvent) {
  const Track& track = Convert({60, 62, 64, 65, 65, 67}, {0, 1, 1, 8, 1, 8}, Params(480, 4));
  const std::vector<NoteEvent> expected = {
      {kOn, 60, 0},   {kOn, 62, 60},   {kOn, 64, 60},  {kOff, 60, 120},
      {kOff, 62, 60}, {kOff, 64, 60},  {kOn, 65, 240}, {kOff, 65, 60},
      {kOn, 65, 0},   {kOff, 65, 240}, {kOn, 67, 240}, {kOff, 67, 240},
  };
  EXPECT_EQ(Notes(track), expected);
  EXPECT_EQ(song_.format, 1);
  EXPECT_EQ(song_.trackCount, 1);
  EXPECT_EQ(song_.division, 480);
}

TEST_F(MelodyTrack, LeadingEventsAreTempoAndProgramChange) {
  const Track& track = Convert({60}, {0}, Params(768, 16, 120));
  const MidiEvent& tempo = track.events.at(0);
  EXPECT_EQ(tempo.status, 0xFF);
  EXPECT_EQ(tempo.data1, 0x51);
  EXPECT_EQ(tempo.data2, (std::array<uint8_t, 3>{0x07, 0xA1, 0x20}));
  EXPECT_EQ(tempo.metaLength.value, 3u);
  const MidiEvent& program = track.events.at(1);
  EXPECT_EQ(program.status, 0xC0);
  EXPECT_EQ(program.data1, 0);
  // The defaults: sustain 16 at resolution 768 holds each note 1536 ticks.
  EXPECT_EQ(Notes(track), (std::vector<NoteEvent>{{kOn, 60, 0}, {kOff, 60, 1536}}));
}

TEST_F(MelodyTrack, NoteEndingOnTheNextNoteOnIsTurnedOffJustAfterIt) {
  const Track& track = Convert({60, 62, 64}, {8, 8, 8}, Params(480, 8));
  const std::vector<NoteEvent> expected = {
      {kOn, 60, 0}, {kOn, 62, 480}, {kOff, 60, 0}, {kOn, 64, 480}, {kOff, 62, 0}, {kOff, 64, 480},
  };
  EXPECT_EQ(Notes(track), expected);
}

TEST_F(MelodyTrack, RestruckPitchEndsAtTheNewNoteOn) {
  const Track& track = Convert({60, 60}, {0, 8}, Params(480, 4));
  const std::vector<NoteEvent> expected = {
      {kOn, 60, 0}, {kOff, 60, 480}, {kOn, 60, 0}, {kOff, 60, 240}};
  EXPECT_EQ(Notes(track), expected);
}

TEST_F(MelodyTrack, RedBytesAboveMiddleFoldDown) {
  ConversionParameters params = Params(480, 4);
  params.scaleIndex = 9;  // no snapping
  const Track& track = Convert({127, 128, 255}, {8, 8, 8}, params);
  std::vector<uint8_t> onPitches;
  for (const NoteEvent& e : Notes(track))
    if (e.status == kOn) onPitches.push_back(e.pitch);
  EXPECT_EQ(onPitches, (std::vector<uint8_t>{127, 127, 0}));
}

TEST_F(MelodyTrack, BlueBytesGiveOneToEightUnits) {
  // stepUnit 60; blue 0, 1, 9, 10 give one unit, 8 and 17 eight. Column 0's blue is unused.
  ConversionParameters params = Params(480, 1);  // 60-tick notes never overlap
  params.scaleIndex = 9;
  const Track& track = Convert({10, 20, 30, 40, 50, 60, 70}, {8, 0, 1, 9, 10, 8, 17}, params);
  std::vector<uint32_t> onTicks;
  uint32_t tick = 0;
  for (const NoteEvent& e : Notes(track)) {
    tick += e.delta;
    if (e.status == kOn) onTicks.push_back(tick);
  }
  EXPECT_EQ(onTicks, (std::vector<uint32_t>{0, 60, 120, 180, 240, 720, 1200}));
}

TEST_F(MelodyTrack, ResolutionBelowEightPutsEveryNoteOnAtTickZero) {
  ConversionParameters params = Params(7, 64);
  params.scaleIndex = 9;
  const Track& track = Convert({60, 61, 62}, {8, 8, 8}, params);
  for (const NoteEvent& e : Notes(track)) {
    if (e.status == kOn) {
      EXPECT_EQ(e.delta, 0u);
    }
  }
}

TEST_F(MelodyTrack, PictureWithoutColumnsHoldsOnlyTheFrame) {
  const Track& track = Convert({}, {}, Params(768, 16));
  EXPECT_EQ(track.events.size(), 3u);
  EXPECT_EQ(track.byteLength, 14u);
}

// Resampling has no column to take from: the picture stays without columns.
TEST_F(MelodyTrack, PictureWithoutColumnsConvertsToNoNotesWhateverTheColumnsAskedFor) {
  struct Case {
    uint32_t columns;
    std::optional<double> maxSeconds;
  };
  for (const Case& c : {Case{1, {}}, Case{5, {}}, Case{kMaxResampledColumns, {}}, Case{0, 0.5}}) {
    ConversionParameters params = Params(768, 16);
    params.controls.columns = c.columns;
    params.controls.maxSeconds = c.maxSeconds;
    const Track& track = Convert({}, {}, params, 5);
    EXPECT_EQ(track.events.size(), 3u) << c.columns << " columns";
    EXPECT_EQ(image_.width, 0u) << c.columns << " columns";
  }
}

TEST_F(MelodyTrack, PictureWithoutRowsConvertsLikeOneWithoutColumns) {
  test::BmpBuilder bmp;
  bmp.width = 5;
  bmp.height = 0;
  test::LoadImageBytes(image_, bmp.Build());
  FixedBits down(0);
  ConvertImageToSong(song_, image_, Params(768, 16), down);
  EXPECT_EQ(song_.tracks.at(0).events.size(), 3u);
  EXPECT_EQ(song_.tracks.at(0).byteLength, 14u);
}

TEST_F(MelodyTrack, SinglePixelHighPictureReadsBothChannelsFromRowZero) {
  ConversionParameters params = Params(480, 4);
  params.scaleIndex = 9;
  const Track& track = Convert({60, 62}, {8, 8}, params, 1);
  EXPECT_EQ(Notes(track), (std::vector<NoteEvent>{
                              {kOn, 60, 0}, {kOff, 60, 240}, {kOn, 62, 240}, {kOff, 62, 240}}));
}

struct TempoCase {
  uint32_t tempo;
  std::array<uint8_t, 3> bytes;
};

class TempoBytes : public MelodyTrack, public ::testing::WithParamInterface<TempoCase> {};

TEST_P(TempoBytes, QuarterNoteMicroseconds) {
  const Track& track = Convert({60}, {0}, Params(480, 4, GetParam().tempo));
  EXPECT_EQ(track.events.at(0).data2, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Tempos, TempoBytes,
    ::testing::Values(TempoCase{120, {0x07, 0xA1, 0x20}}, TempoCase{60, {0x0F, 0x42, 0x40}},
                      TempoCase{4, {0xE4, 0xE1, 0xC0}},
                      // Slower than three bytes can hold: the slowest tempo they can.
                      TempoCase{3, {0xFF, 0xFF, 0xFF}}, TempoCase{1, {0xFF, 0xFF, 0xFF}},
                      TempoCase{0, {0xFF, 0xFF, 0xFF}},
                      // Faster than one microsecond a quarter: the fastest it can hold, not 0.
                      TempoCase{60'000'000, {0, 0, 1}}, TempoCase{60'000'001, {0, 0, 1}},
                      TempoCase{4'294'967'295, {0, 0, 1}}));

TEST_F(MelodyTrack, HugeSustainKeepsEveryDeltaWithinTwentyEightBits) {
  ConversionParameters params = Params(65535, 0);
  params.sustainQuarters = 4294967295.0 * 0.125;
  params.chordMode = 1;
  Convert({60, 62, 60, 64}, {8, 8, 8, 8}, params);
  ASSERT_EQ(song_.tracks.size(), 2u);
  uint32_t largest = 0;
  for (const Track& track : song_.tracks)
    for (const MidiEvent& e : track.events) largest = std::max(largest, e.delta.value);
  EXPECT_LE(largest, VarLen::kMaxValue);
  // The last note (64) still sounds for the whole capped sustain.
  uint64_t tick = 0, lastOn = 0, lastOff = 0;
  for (const MidiEvent& e : song_.tracks[0].events) {
    tick += e.delta.value;
    if (e.data1 == 64 && e.status == kOn) lastOn = tick;
    if (e.data1 == 64 && e.status == kOff) lastOff = tick;
  }
  EXPECT_EQ(lastOff - lastOn, kMaxSustainTicks);
}

TEST_F(MelodyTrack, ResolutionAboveTheHeaderLimitConvertsAtTheLimit) {
  ConversionParameters params = Params(40000, 8);
  params.scaleIndex = 9;
  const Track& track = Convert({60, 62}, {8, 8}, params);
  EXPECT_EQ(song_.division, 0x7FFF) << "the header and the note spacing agree";
  // Eight 32nd notes of a 32767-tick quarter, and a quarter-note sustain.
  EXPECT_EQ(
      Notes(track),
      (std::vector<NoteEvent>{
          {kOn, 60, 0}, {kOn, 62, 8 * 4095}, {kOff, 60, 32767 - 8 * 4095}, {kOff, 62, 8 * 4095}}));
}

// How long a note is held, worked out by hand from the rule: the resolution (at most 32767)
// times the sustain in eighths of a quarter note, the fraction dropped, and no more than
// 0x0FFFFFFF - 4 * 65535 = 268173315 ticks. Millisecond timing holds notes alike.
struct SustainCase {
  uint16_t resolution;
  uint32_t sustain;  // in 32nd notes
  uint8_t timingMode;
  uint32_t ticks;
};

void PrintTo(const SustainCase& c, std::ostream* out) {
  *out << "resolution " << c.resolution << ", sustain " << c.sustain << ", timing "
       << int{c.timingMode} << ": " << c.ticks << " ticks";
}

class SustainTicks : public MelodyTrack, public ::testing::WithParamInterface<SustainCase> {};

TEST_P(SustainTicks, OneNoteIsHeldForTheSustain) {
  const SustainCase& c = GetParam();
  ConversionParameters params = Params(c.resolution, c.sustain);
  params.timingMode = c.timingMode;
  const Track& track = Convert({60}, {8}, params);
  EXPECT_EQ(Notes(track), (std::vector<NoteEvent>{{kOn, 60, 0}, {kOff, 60, c.ticks}}));
}

constexpr uint8_t kBeat = 0;
constexpr uint8_t kMilliseconds = 1;

INSTANTIATE_TEST_SUITE_P(
    HandWorked, SustainTicks,
    ::testing::Values(SustainCase{768, 16, kBeat, 1536}, SustainCase{768, 16, kMilliseconds, 1536},
                      SustainCase{480, 4, kBeat, 240}, SustainCase{480, 3, kMilliseconds, 180},
                      SustainCase{15, 3, kBeat, 5},  // 5.625
                      SustainCase{7, 1, kBeat, 0},   // 0.875
                      SustainCase{8, 1, kBeat, 1}, SustainCase{100, 0, kBeat, 0},
                      SustainCase{32767, 16, kBeat, 65534},
                      SustainCase{40000, 8, kBeat, 32767},             // resolution 32767
                      SustainCase{65535, 1, kMilliseconds, 4095},      // 4095.875
                      SustainCase{32767, 65473, kBeat, 268169223},     // .875, just below the cap
                      SustainCase{32767, 65474, kBeat, 268173315},     // 268173319.75: the cap
                      SustainCase{1, 4294967295, kBeat, 268173315}));  // 536870911.875

struct RescaleCase {
  std::vector<uint8_t> reds;
  uint8_t low;
  uint8_t high;
  std::vector<uint8_t> rescaled;
};

class PitchRange : public MelodyTrack, public ::testing::WithParamInterface<RescaleCase> {};

TEST_P(PitchRange, RewritesRowZeroReds) {
  const RescaleCase& c = GetParam();
  ConversionParameters params = Params(480, 4);
  params.scaleIndex = 9;
  params.rangeLow = c.low;
  params.rangeHigh = c.high;
  Convert(c.reds, std::vector<uint8_t>(c.reds.size(), 8), params);
  std::vector<uint8_t> reds;
  for (uint32_t i = 0; i < image_.width; ++i) reds.push_back(image_.Row24(0)[3 * i + 2]);
  EXPECT_EQ(reds, c.rescaled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PitchRange,
    ::testing::Values(RescaleCase{{10, 20, 35}, 40, 80, {40, 56, 80}},
                      RescaleCase{{90, 90, 90}, 40, 80, {40, 40, 40}},
                      // 25 * (255 / 25) is a hair below 255, so the top maps to 126.
                      RescaleCase{{0, 25}, 0, 127, {0, 126}},
                      RescaleCase{{10, 20, 35}, 0, 255, {10, 20, 35}},
                      RescaleCase{{10, 20, 35}, 60, 60, {10, 20, 35}},
                      RescaleCase{{10, 20, 35}, 90, 40, {10, 20, 35}}));

TEST_F(MelodyTrack, RangeAbove127IsFoldedAfterRescaling) {
  ConversionParameters params = Params(480, 4);
  params.scaleIndex = 9;
  params.rangeLow = 0;
  params.rangeHigh = 200;
  const Track& track = Convert({0, 255}, {8, 8}, params);
  EXPECT_EQ(track.events.at(kLeadingEvents + 2).data1, 55);  // 200 folds to 55
}

TEST_F(MelodyTrack, LocrianTopPitchStaysAValidNote) {
  ConversionParameters params = Params(480, 4);
  params.scaleIndex = 8;
  test::LoadImageBytes(image_, test::MakeMelodyBmp({127}, {0}));
  FixedBits up(1);
  ConvertImageToSong(song_, image_, params, up);
  EXPECT_EQ(song_.tracks[0].events.at(kLeadingEvents).data1, 126);
}

TEST_F(MelodyTrack, ChordModeAddsSecondTrack) {
  ConversionParameters params = Params(480, 4);
  Convert({60, 64}, {8, 8}, params);
  EXPECT_EQ(song_.trackCount, 1);
  params.chordMode = 1;
  Convert({60, 64}, {8, 8}, params);
  EXPECT_EQ(song_.trackCount, 2);
  ASSERT_EQ(song_.tracks.size(), 2u);
  EXPECT_EQ(song_.tracks[1].events.front().status, 0xC1);
}

}  // namespace
}  // namespace pixorale
