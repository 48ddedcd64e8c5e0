#include <gtest/gtest.h>

#include "midi/song.h"
#include "midi/track.h"
#include "midi_test_events.h"

namespace pixorale {
namespace {

using test::ChannelEvent;
using test::EndOfTrackEvent;
using test::MetaEventWithData;
using test::TempoEvent;

Track TempoProgramEndTrack() {
  Track track;
  track.AppendEvent(TempoEvent(0, 0x07, 0xA1, 0x20));
  track.AppendEvent(ChannelEvent(0, 0xC0, 0));
  track.AppendEvent(EndOfTrackEvent());
  return track;
}

TEST(Track, ComputeLengthOfAnEmptyTrackIsZeroWhateverItHeldBefore) {
  Track track;
  track.byteLength = 99;
  track.ComputeLength();
  EXPECT_EQ(track.byteLength, 0u);
}

TEST(Track, ComputeLengthSumsTheEventSizes) {
  Track track = TempoProgramEndTrack();
  track.ComputeLength();
  EXPECT_EQ(track.byteLength, 14u);  // 7 + 3 + 4
}

TEST(Track, ClearEventsEmptiesTheTrackAndResetsItsLength) {
  Track track = TempoProgramEndTrack();
  track.AppendEvent(MetaEventWithData(0, 0x01, {'a', 'b'}));
  track.ComputeLength();
  track.ClearEvents();
  EXPECT_TRUE(track.events.empty());
  EXPECT_EQ(track.byteLength, 0u);
}

Song FilledSong() {
  Song song;
  song.format = 1;
  song.trackCount = 2;
  song.division = 480;
  song.timingMode = 1;
  song.AppendTrack(TempoProgramEndTrack());
  song.AppendTrack(TempoProgramEndTrack());
  return song;
}

TEST(Song, ClearSongZeroesTheHeaderAndDropsEveryTrack) {
  Song song = FilledSong();
  song.ClearSong();
  EXPECT_EQ(song.format, 0);
  EXPECT_EQ(song.trackCount, 0);
  EXPECT_EQ(song.division, 0);
  EXPECT_EQ(song.timingMode, 0);
  EXPECT_TRUE(song.tracks.empty());
}

TEST(Song, AppendTrackLeavesTrackCountAlone) {
  Song song;
  song.trackCount = 1;
  song.AppendTrack(Track{});
  song.AppendTrack(Track{});
  EXPECT_EQ(song.trackCount, 1);
  EXPECT_EQ(song.tracks.size(), 2u);
}

}  // namespace
}  // namespace pixorale
