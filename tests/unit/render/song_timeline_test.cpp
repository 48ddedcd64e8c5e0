#include "render/song_timeline.h"

#include <gtest/gtest.h>

#include "render_test_songs.h"

namespace pixorale {
namespace {

using test::MakeSong;

TEST(SongTimeline, TicksBecomeSecondsAtTheSongsTempo) {
  // 480 ticks per quarter note at 250000 microseconds: 960 ticks are half a second.
  const Song song = MakeSong({{60, 0, 100, 960, 1920}}, 250000);
  const SongTimeline timeline = BuildTimeline(song);
  ASSERT_EQ(timeline.events.size(), 3u);  // program change, note-on, note-off
  EXPECT_DOUBLE_EQ(timeline.events[1].seconds, 0.5);
  EXPECT_DOUBLE_EQ(timeline.events[2].seconds, 1.0);
  EXPECT_DOUBLE_EQ(timeline.lengthSeconds, 1.0);
}

TEST(SongTimeline, TracksAreMergedInTimeOrder) {
  const Song song = MakeSong({{60, 0, 100, 0, 960}, {64, 1, 100, 480, 720}});
  const SongTimeline timeline = BuildTimeline(song);
  double previous = 0.0;
  for (const TimedEvent& event : timeline.events) {
    EXPECT_GE(event.seconds, previous);
    previous = event.seconds;
  }
  EXPECT_EQ(timeline.events.back().status, midi_status::kNoteOff);
  EXPECT_EQ(timeline.events.back().data1, 60);
}

TEST(SongTimeline, TracksBeyondTheTrackCountAreNotPlayed) {
  Song song = MakeSong({{60, 0, 100, 0, 480}, {64, 1, 100, 0, 4800}});
  song.trackCount = 1;
  EXPECT_DOUBLE_EQ(BuildTimeline(song).lengthSeconds, 0.5);
}

TEST(SongTimeline, MillisecondTimingMakesEveryTickAMillisecond) {
  Song song = MakeSong({{60, 0, 100, 250, 1250}}, 250000);
  song.timingMode = 1;
  const SongTimeline timeline = BuildTimeline(song);
  EXPECT_DOUBLE_EQ(timeline.events[1].seconds, 0.25);
  EXPECT_DOUBLE_EQ(timeline.lengthSeconds, 1.25);
}

TEST(SongTimeline, DivisionZeroPutsEverythingAtTheStart) {
  Song song = MakeSong({{60, 0, 100, 0, 480}});
  song.division = 0;
  EXPECT_DOUBLE_EQ(BuildTimeline(song).lengthSeconds, 0.0);
}

TEST(SongNotes, RestruckPitchEndsAtTheNoteOffBeforeTheNewNoteOn) {
  const Song song = MakeSong({{60, 0, 90, 0, 480}, {60, 0, 80, 480, 960}});
  const std::vector<NoteSpan> notes = CollectNotes(song).notes;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_DOUBLE_EQ(notes[0].end, 0.5);
  EXPECT_EQ(notes[0].velocity, 90);
  EXPECT_DOUBLE_EQ(notes[1].start, 0.5);
  EXPECT_DOUBLE_EQ(notes[1].end, 1.0);
}

TEST(SongNotes, NoteOnWithVelocityZeroEndsANote) {
  Song song = MakeSong({{60, 0, 100, 0, 480}});
  song.tracks[0].events.EditEach([](MidiEvent& event) {
    if (event.status == midi_status::kNoteOff) event.status = midi_status::kNoteOn;
  });
  const std::vector<NoteSpan> notes = CollectNotes(song).notes;
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_DOUBLE_EQ(notes[0].end, 0.5);
}

TEST(SongNotes, TracksNotesComeInTheOrderTheyAreStruckWithTheTimelinesTimes) {
  // Channel 1 is a second track; its note starts between the first track's two.
  const Song song = MakeSong({{60, 0, 100, 0, 480},
                              {62, 0, 100, 960, 1440},
                              {64, 1, 90, 480, 960},
                              {67, 1, 90, 960, 1200}},
                             250000);
  const SongNotes collected = CollectNotes(song);
  const SongTimeline timeline = BuildTimeline(song);
  EXPECT_DOUBLE_EQ(collected.lengthSeconds, timeline.lengthSeconds);
  const std::vector<uint8_t> pitches = {60, 64, 62, 67};  // at equal starts, track order
  ASSERT_EQ(collected.notes.size(), pitches.size());
  for (size_t i = 0; i < pitches.size(); ++i) EXPECT_EQ(collected.notes[i].pitch, pitches[i]);
  EXPECT_DOUBLE_EQ(collected.notes[1].start, 0.25);
  EXPECT_DOUBLE_EQ(collected.notes[1].end, 0.5);
  EXPECT_EQ(collected.notes[1].track, 1);
  EXPECT_EQ(collected.notes[1].velocity, 90);
}

}  // namespace
}  // namespace pixorale
