#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "midi/smf_writer.h"
#include "midi_test_events.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::ChannelEvent;
using test::EndOfTrackEvent;
using test::ReadFileBytes;
using test::ScopedFileSizeLimit;
using test::TempDir;
using test::WriteFileBytes;

using Bytes = std::vector<uint8_t>;

Song OneNoteSong() {
  Song song;
  song.format = 1;
  song.trackCount = 1;
  song.division = 480;
  Track track;
  track.AppendEvent(ChannelEvent(0, 0x90, 60, 100));
  track.AppendEvent(EndOfTrackEvent());
  song.AppendTrack(track);
  return song;
}

const Bytes kOneNoteFile = {
    0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01, 0x00, 0x01, 0x01, 0xE0, 0x4D,
    0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x08, 0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00,
};

TEST(WriteSongFile, WritesTheSongToANewFile) {
  TempDir dir;
  Song song = OneNoteSong();
  EXPECT_TRUE(WriteSongFile(song, (dir / "out.mid").string()));
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), kOneNoteFile);
}

TEST(WriteSongFile, ReplacesAnExistingFile) {
  TempDir dir;
  WriteFileBytes(dir / "out.mid", Bytes(100, 0xAA));
  Song song = OneNoteSong();
  EXPECT_TRUE(WriteSongFile(song, (dir / "out.mid").string()));
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), kOneNoteFile);
}

TEST(WriteSongFile, AbsentPathOrMissingDirectoryFailsAndCreatesNothing) {
  TempDir dir;
  Song song = OneNoteSong();
  EXPECT_FALSE(WriteSongFile(song, ""));
  EXPECT_FALSE(WriteSongFile(song, (dir / "missing" / "out.mid").string()));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(WriteSongFile, FullDiskIsReportedAndTheExistingFileSurvives) {
  TempDir dir;
  const Bytes old(20, 0xAA);
  WriteFileBytes(dir / "out.mid", old);
  Song song = OneNoteSong();
  while (song.tracks[0].events.size() < 20000) {
    song.tracks[0].AppendEvent(ChannelEvent(0, 0x90, 60, 100));
  }
  IoResult written;
  {
    ScopedFileSizeLimit limit(1024);
    written = WriteSongFile(song, (dir / "out.mid").string());
  }
  EXPECT_EQ(written.failedStep, IoStep::kWrite) << "the failing step is carried to the caller";
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteSongFile, RefusedSongLeavesTheExistingFileUntouched) {
  TempDir dir;
  const Bytes old = {1, 2, 3};
  WriteFileBytes(dir / "out.mid", old);
  Song song = OneNoteSong();
  song.trackCount = 3;
  EXPECT_FALSE(WriteSongFile(song, (dir / "out.mid").string()));
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace pixorale
