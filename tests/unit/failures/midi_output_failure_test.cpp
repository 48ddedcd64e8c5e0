#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/ui_texts.h"
#include "read_only_directory.h"
#include "support/bmp_builder.h"
#include "support/file_faults.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A file from an earlier run that a failed write must leave exactly as it was.
const Bytes kEarlierFile = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 3, 0, 0xA5, 0x5A};

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

// Runs whole conversions whose save prompt answers with a destination that cannot be
// written, as the desktop program would.
class FailedMidiWrite : public ::testing::Test {
 protected:
  FailedMidiWrite() {
    state_.settings.InstallDefaults();
    fs::create_directory(out_);
  }

  // A picture of `columns` notes, outside the output directory.
  std::string Picture(size_t columns = 4) {
    Bytes reds(columns), blues(columns);
    for (size_t i = 0; i < columns; ++i) {
      reds[i] = static_cast<uint8_t>(40 + i % 50);
      blues[i] = static_cast<uint8_t>(i);
    }
    test::WriteFileBytes(dir_ / "in.bmp", test::MakeMelodyBmp(reds, blues));
    return (dir_ / "in.bmp").string();
  }

  RunReport RunTo(const std::string& input, const fs::path& output) {
    ui_.saveAnswers.push_back(output.string());
    ui_.messages.clear();
    FixedBits down(0);
    return RunConversion(input, state_, down, bmp_, save_);
  }

  // The run tells the user, and the song and the image are empty again.
  void ExpectReportedFailure(const RunReport& report) {
    EXPECT_EQ(report.status, RunStatus::kWriteFailed);
    EXPECT_EQ(ui_.messages,
              (std::vector<test::ScriptedUi::Message>{
                  {std::string(texts::kCannotSaveMidi), std::string(texts::kErrorCaption)}}));
    EXPECT_TRUE(state_.song.tracks.empty());
    EXPECT_EQ(state_.image.bitCount, 0);
  }

  test::TempDir dir_;
  fs::path out_ = dir_ / "out";
  ProgramState state_;
  BmpPictureSource bmp_;
  MidiFileOutput midiFile_;
  test::ScriptedUi ui_;
  PromptingSaveStep save_{ui_, midiFile_};
};

TEST_F(FailedMidiWrite, FullDeviceIsReported) {
  ExpectReportedFailure(RunTo(Picture(), "/dev/full"));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(FailedMidiWrite, ReadOnlyDirectoryGetsNoFile) {
  const std::string input = Picture();
  test::ReadOnlyDirectory readOnly(out_);
  if (!readOnly.IsReadOnly()) GTEST_SKIP() << readOnly.WhyNot();
  ExpectReportedFailure(RunTo(input, out_ / "song.mid"));
  EXPECT_TRUE(fs::is_empty(out_));
}

TEST_F(FailedMidiWrite, ExistingFileInAReadOnlyDirectorySurvivesByteForByte) {
  const std::string input = Picture();
  test::WriteFileBytes(out_ / "song.mid", kEarlierFile);
  test::ReadOnlyDirectory readOnly(out_);
  if (!readOnly.IsReadOnly()) GTEST_SKIP() << readOnly.WhyNot();
  ExpectReportedFailure(RunTo(input, out_ / "song.mid"));
  EXPECT_EQ(test::ReadFileBytes(out_ / "song.mid"), kEarlierFile);
  EXPECT_EQ(Entries(out_), (std::set<std::string>{"song.mid"}));
}

TEST_F(FailedMidiWrite, DiskFillingUpMidWriteLeavesTheExistingFileByteForByte) {
  const std::string input = Picture(3000);  // about 12 KB of MIDI
  test::WriteFileBytes(out_ / "song.mid", kEarlierFile);
  RunReport report;
  {
    test::ScopedFileSizeLimit limit(4096);
    report = RunTo(input, out_ / "song.mid");
  }
  ExpectReportedFailure(report);
  EXPECT_EQ(test::ReadFileBytes(out_ / "song.mid"), kEarlierFile);
  EXPECT_EQ(Entries(out_), (std::set<std::string>{"song.mid"})) << "no temporary file left";
}

TEST_F(FailedMidiWrite, ParentThatIsAFileIsReported) {
  test::WriteFileBytes(out_ / "plain", kEarlierFile);
  ExpectReportedFailure(RunTo(Picture(), out_ / "plain" / "song.mid"));
  EXPECT_EQ(test::ReadFileBytes(out_ / "plain"), kEarlierFile);
}

TEST_F(FailedMidiWrite, NextRunWritesTheSameFileAsAFreshStart) {
  const std::string input = Picture(40);
  ExpectReportedFailure(RunTo(input, "/dev/full"));
  ASSERT_EQ(RunTo(input, out_ / "after.mid").status, RunStatus::kWritten);

  ProgramState fresh;
  fresh.settings.InstallDefaults();
  test::ScriptedUi freshUi;
  freshUi.saveAnswers.push_back((out_ / "fresh.mid").string());
  FixedBits down(0);
  PromptingSaveStep freshSave(freshUi, midiFile_);
  ASSERT_EQ(RunConversion(input, fresh, down, bmp_, freshSave).status, RunStatus::kWritten);
  EXPECT_EQ(test::ReadFileBytes(out_ / "after.mid"), test::ReadFileBytes(out_ / "fresh.mid"));
}

}  // namespace
}  // namespace pixorale
