#include "convert/chords.h"

#include <gtest/gtest.h>

#include "convert/track_events.h"
#include "support/track_view.h"

namespace pixorale {
namespace {

using test::NoteEvent;
using test::NoteEvents;

constexpr uint8_t kOn = 0x91;
constexpr uint8_t kOff = 0x81;

// A one-track song whose melody plays `pitches` one after the other, each `length` ticks
// (`gaps[i]` ticks before note i when given).
Song MelodySong(const std::vector<uint8_t>& pitches, uint32_t length = 480,
                const std::vector<uint32_t>& gaps = {}) {
  Track melody;
  melody.AppendEvent(track_events::Tempo(500000));
  melody.AppendEvent(track_events::ProgramChange(0, 0));
  for (size_t i = 0; i < pitches.size(); ++i) {
    melody.AppendEvent(track_events::NoteOn(0, pitches[i], 100, i < gaps.size() ? gaps[i] : 0));
    melody.AppendEvent(track_events::NoteOff(0, pitches[i], length));
  }
  melody.AppendEvent(track_events::EndOfTrack());
  melody.ComputeLength();
  Song song;
  song.format = 1;
  song.trackCount = 1;
  song.AppendTrack(melody);
  return song;
}

std::vector<NoteEvent> ChordEvents(const std::vector<uint8_t>& pitches, uint16_t division = 480,
                                   uint32_t length = 480) {
  Song song = MelodySong(pitches, length);
  BuildChordTrack(song, division);
  EXPECT_EQ(song.trackCount, 2);
  EXPECT_EQ(song.tracks.size(), 2u);
  auto events = NoteEvents(song.tracks.at(1));
  EXPECT_EQ(events.front(), (NoteEvent{0xC1, 99, 0}));
  EXPECT_EQ(events.back(), (NoteEvent{0xFF, 0x2F, 0}));
  return {events.begin() + 1, events.end() - 1};
}

TEST(ChordTrack, WorkedExampleEventForEvent) {
  const std::vector<NoteEvent> expected = {
      {kOn, 60, 0}, {kOn, 64, 0},    {kOn, 67, 0}, {kOff, 60, 2400}, {kOff, 64, 0},   {kOff, 67, 0},
      {kOn, 57, 0}, {kOff, 57, 480}, {kOn, 58, 0}, {kOn, 65, 0},     {kOff, 58, 960}, {kOff, 65, 0},
  };
  EXPECT_EQ(ChordEvents({60, 64, 62, 79, 72, 57, 58, 65}), expected);
}

TEST(ChordTrack, WorkedExampleIsByteExact) {
  Song song = MelodySong({60, 64, 62, 79, 72, 57, 58, 65});
  BuildChordTrack(song, 480);
  const Track& chords = song.tracks.at(1);
  // 3 + 3 * 4 + 5 + 2 * 4 + 4 + 5 + 4 * 2 + 5 + 4 + 4 bytes
  EXPECT_EQ(chords.byteLength, 58u);
  EXPECT_EQ(chords.events.at(1).data2[0], 100);
  EXPECT_EQ(chords.events.at(4).data2[0], 0);
}

TEST(ChordTrack, MelodyWithoutNotesGivesProgramChangeAndEndOnly) {
  EXPECT_TRUE(ChordEvents({}).empty());
}

struct ChordCase {
  const char* name;
  std::vector<uint8_t> melody;
  std::vector<NoteEvent> chords;
};

class ChordRules : public ::testing::TestWithParam<ChordCase> {};

TEST_P(ChordRules, Follow) {
  // Notes of 100 ticks stay far below the 1920-tick limit.
  EXPECT_EQ(ChordEvents(GetParam().melody, 480, 100), GetParam().chords);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChordRules,
    ::testing::Values(ChordCase{"OctaveIsCovered", {60, 72}, {{kOn, 60, 0}, {kOff, 60, 200}}},
                      ChordCase{"OctaveAndSemitoneClashesAsTheMovedPitch",
                                {60, 73},
                                {{kOn, 60, 0}, {kOff, 60, 100}, {kOn, 61, 0}, {kOff, 61, 100}}},
                      ChordCase{"TenAboveJoins",
                                {60, 70},
                                {{kOn, 60, 0}, {kOn, 70, 0}, {kOff, 60, 200}, {kOff, 70, 0}}},
                      ChordCase{"ElevenAboveJoins",
                                {60, 71},
                                {{kOn, 60, 0}, {kOn, 71, 0}, {kOff, 60, 200}, {kOff, 71, 0}}},
                      ChordCase{"OctaveMovesCarryOver",
                                {60, 70, 49},
                                {{kOn, 60, 0},
                                 {kOn, 70, 0},
                                 {kOn, 61, 0},
                                 {kOff, 60, 300},
                                 {kOff, 70, 0},
                                 {kOff, 61, 0}}},
                      ChordCase{"FirstDecidingHeldNoteWinsCovered",
                                {60, 63, 62},
                                {{kOn, 60, 0}, {kOn, 63, 0}, {kOff, 60, 300}, {kOff, 63, 0}}},
                      ChordCase{"FirstDecidingHeldNoteWinsClash",
                                {63, 60, 62},
                                {{kOn, 63, 0},
                                 {kOn, 60, 0},
                                 {kOff, 63, 200},
                                 {kOff, 60, 0},
                                 {kOn, 62, 0},
                                 {kOff, 62, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChordTrack, ChordTimeAtTheLimitKeepsTheChord) {
  // Notes of 960 ticks: the third note-on stands at 1920, exactly 4 * 480.
  EXPECT_EQ(ChordEvents({60, 64, 72}, 480, 960),
            (std::vector<NoteEvent>{{kOn, 60, 0}, {kOn, 64, 0}, {kOff, 60, 2880}, {kOff, 64, 0}}));
}

TEST(ChordTrack, OneTickPastTheLimitRestartsEvenOnACoveredNote) {
  Song song = MelodySong({60, 64, 72}, 960, {0, 0, 1});
  BuildChordTrack(song, 480);
  EXPECT_EQ(NoteEvents(song.tracks.at(1), 1),
            (std::vector<NoteEvent>{{kOn, 60, 0},
                                    {kOn, 64, 0},
                                    {kOff, 60, 1921},
                                    {kOff, 64, 0},
                                    {kOn, 60, 0},  // 72 as moved next to 60
                                    {kOff, 60, 960},
                                    {0xFF, 0x2F, 0}}));
}

TEST(ChordTrack, DivisionZeroRestartsAtEveryNoteAfterElapsedTime) {
  EXPECT_EQ(ChordEvents({60, 64}, 0, 10),
            (std::vector<NoteEvent>{{kOn, 60, 0}, {kOff, 60, 10}, {kOn, 64, 0}, {kOff, 64, 10}}));
}

}  // namespace
}  // namespace pixorale
