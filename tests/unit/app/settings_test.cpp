#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/conversion_settings.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

ConversionSettings Defaults() {
  ConversionSettings settings;
  settings.InstallDefaults();
  return settings;
}

TEST(SettingsFile, DefaultsAreStoredAsFifteenLittleEndianBytes) {
  TempDir dir;
  ConversionSettings settings = Defaults();
  settings.settingsDirectory = dir.path().string();
  ASSERT_TRUE(settings.SaveSettings());
  EXPECT_EQ(ReadFileBytes(dir / "setting.set"),
            (std::vector<uint8_t>{0x00, 0x10, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00, 0x00, 0x00,
                                  0x03, 0x00, 0x00, 0xFF}));
}

TEST(SettingsFile, EveryFieldRoundTrips) {
  TempDir dir;
  ConversionSettings saved;
  saved.scaleIndex = 12;  // out of range values load unchanged
  saved.sustain = 0xDEADBEEF;
  saved.tempo = 4;
  saved.timingMode = 2;
  saved.resolution = 0xABCD;
  saved.chordMode = 7;
  saved.rangeLow = 90;
  saved.rangeHigh = 40;
  ASSERT_TRUE(saved.WriteSettingsFile(dir / "s"));
  ConversionSettings loaded;
  ASSERT_TRUE(loaded.ReadSettingsFile(dir / "s"));
  EXPECT_EQ(loaded.ToBytes(), saved.ToBytes());
}

struct ShortFileCase {
  const char* name;
  std::vector<uint8_t> file;
  std::array<uint8_t, 15> loaded;  // from an all-zero record
};

class ShortSettingsFile : public ::testing::TestWithParam<ShortFileCase> {};

// Loaded at start and saved at exit, a file of any length becomes the 15-byte form.
TEST_P(ShortSettingsFile, FillsFieldsAsFarAsItReachesAndIsSavedBackWhole) {
  TempDir dir;
  WriteFileBytes(dir / "setting.set", GetParam().file);
  ConversionSettings settings;
  {
    test::ScopedCurrentDirectory start(dir.path());
    ASSERT_TRUE(settings.LoadSettings());
  }
  EXPECT_EQ(settings.ToBytes(), GetParam().loaded);
  ASSERT_TRUE(settings.SaveSettings());
  const auto& loaded = GetParam().loaded;
  EXPECT_EQ(ReadFileBytes(dir / "setting.set"), std::vector<uint8_t>(loaded.begin(), loaded.end()));
}

// A tempo of 0 is never loaded: it would divide by zero in the conversion.
INSTANTIATE_TEST_SUITE_P(
    Files, ShortSettingsFile,
    ::testing::Values(
        ShortFileCase{"Empty", {}, {0, 0, 0, 0, 0, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        ShortFileCase{"OnlyScale", {5}, {5, 0, 0, 0, 0, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        ShortFileCase{"CutInsideSustain",
                      {1, 0x34, 0x12},
                      {1, 0x34, 0x12, 0, 0, 120, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        ShortFileCase{"FourteenBytes",
                      {1, 2, 0, 0, 0, 60, 0, 0, 0, 1, 0xE0, 0x01, 1, 40},
                      {1, 2, 0, 0, 0, 60, 0, 0, 0, 1, 0xE0, 0x01, 1, 40, 0}},
        ShortFileCase{"StoredTempoZero",
                      {0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 255},
                      {0, 16, 0, 0, 0, 120, 0, 0, 0, 0, 0, 3, 0, 0, 255}},
        ShortFileCase{"FifteenBytes",
                      {8, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0xFF, 0xFF, 1, 0x7F, 0x80},
                      {8, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0xFF, 0xFF, 1, 0x7F, 0x80}},
        ShortFileCase{"TwentyBytesUseTheFirstFifteen",
                      {3, 8, 0, 0, 0, 90, 0, 0, 0, 0, 0, 2, 1, 10, 200, 9, 9, 9, 9, 9},
                      {3, 8, 0, 0, 0, 90, 0, 0, 0, 0, 0, 2, 1, 10, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFile, ShortFileKeepsPreviousHighOrderBytes) {
  TempDir dir;
  WriteFileBytes(dir / "setting.set", {0, 0x34});
  ConversionSettings settings = Defaults();
  settings.sustain = 0xAABBCCDD;
  ASSERT_TRUE(settings.ReadSettingsFile(dir / "setting.set"));
  EXPECT_EQ(settings.sustain, 0xAABBCC34u);
  EXPECT_EQ(settings.resolution, 768) << "fields beyond the end keep their value";
}

TEST(SettingsFile, MissingFileOrDirectoryIsNotLoaded) {
  TempDir dir;
  ConversionSettings settings;
  EXPECT_FALSE(settings.ReadSettingsFile(dir / "setting.set"));
  std::filesystem::create_directory(dir / "setting.set");
  EXPECT_FALSE(settings.ReadSettingsFile(dir / "setting.set"));
  EXPECT_EQ(settings.tempo, 0u) << "nothing changes when nothing was read";
}

// A FIFO named setting.set has no writer: reading or writing it would wait forever, which
// kept the desktop program from ever showing its window.
TEST(SettingsFile, FifoIsNeitherReadNorWrittenAndNothingWaits) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "setting.set").c_str(), 0600), 0);
  test::ScopedCurrentDirectory start(dir.path());
  ConversionSettings settings;
  EXPECT_FALSE(settings.LoadSettings());
  settings.InstallDefaults();
  EXPECT_FALSE(settings.SaveSettings());
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "setting.set"));
}

TEST(SettingsFile, LoadRecordsTheStartDirectoryAndSaveReturnsToIt) {
  TempDir start;
  std::filesystem::create_directory(start / "elsewhere");
  ConversionSettings settings;
  {
    test::ScopedCurrentDirectory cd(start.path());
    EXPECT_FALSE(settings.LoadSettings());
  }
  EXPECT_EQ(std::filesystem::path(settings.settingsDirectory), start.path());
  settings.InstallDefaults();
  test::ScopedCurrentDirectory moved(start / "elsewhere");
  ASSERT_TRUE(settings.SaveSettings());
  EXPECT_TRUE(std::filesystem::exists(start / "setting.set"));
  EXPECT_FALSE(std::filesystem::exists(start / "elsewhere" / "setting.set"));
}

TEST(SettingsFile, FailedSaveKeepsValuesAndTheOldFile) {
  TempDir dir;
  ConversionSettings settings = Defaults();
  settings.settingsDirectory = (dir / "missing").string();
  settings.tempo = 99;
  EXPECT_FALSE(settings.SaveSettings());
  EXPECT_EQ(settings.tempo, 99u);
}

TEST(SettingsParameters, SustainIsPassedInQuarterNotes) {
  ConversionSettings settings = Defaults();
  EXPECT_DOUBLE_EQ(settings.ToParameters().sustainQuarters, 2.0);
  settings.sustain = 4294967295u;
  EXPECT_DOUBLE_EQ(settings.ToParameters().sustainQuarters, 536870911.875);
}

}  // namespace
}  // namespace pixorale
