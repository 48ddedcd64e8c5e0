#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "read_only_directory.h"
#include "support/temp_dir.h"
#include "unit/midi/file_faults.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Defaults but for a tempo of 90.
const Bytes kOldFile = {0x00, 0x10, 0, 0, 0, 0x5A, 0, 0, 0, 0, 0x00, 0x03, 0, 0, 0xFF};

// setting.set as it stands in the start directory, loaded as the program does at start.
class SettingsSaveFailure : public ::testing::Test {
 protected:
  SettingsSaveFailure() {
    test::WriteFileBytes(dir_ / kSettingsFileName, kOldFile);
    test::ScopedCurrentDirectory start(dir_.path());
    EXPECT_TRUE(settings_.LoadSettings());
    settings_.tempo = 200;
    settings_.chordMode = 1;
  }

  void ExpectValuesInMemoryAndTheOldFile() {
    EXPECT_EQ(settings_.tempo, 200u);
    EXPECT_EQ(settings_.chordMode, 1);
    EXPECT_EQ(settings_.ToParameters().tempo, 200u) << "the next conversion uses them";
    EXPECT_EQ(test::ReadFileBytes(dir_ / kSettingsFileName), kOldFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1) << "no temporary left";
  }

  test::TempDir dir_;
  ConversionSettings settings_;
};

TEST_F(SettingsSaveFailure, ReadOnlyDirectoryFailsQuietlyAndKeepsBoth) {
  test::ReadOnlyDirectory readOnly(dir_.path());
  if (!readOnly.IsReadOnly()) GTEST_SKIP() << readOnly.WhyNot();
  EXPECT_FALSE(settings_.SaveSettings());
  ExpectValuesInMemoryAndTheOldFile();
}

TEST_F(SettingsSaveFailure, FullDiskFailsQuietlyAndKeepsBoth) {
  bool saved = true;
  {
    test::ScopedFileSizeLimit limit(4);
    saved = settings_.SaveSettings();
  }
  EXPECT_FALSE(saved);
  ExpectValuesInMemoryAndTheOldFile();
}

TEST_F(SettingsSaveFailure, LaterSaveSucceedsOnceTheDirectoryIsWritableAgain) {
  {
    test::ReadOnlyDirectory readOnly(dir_.path());
    if (!readOnly.IsReadOnly()) GTEST_SKIP() << readOnly.WhyNot();
    EXPECT_FALSE(settings_.SaveSettings());
  }
  EXPECT_TRUE(settings_.SaveSettings());
  EXPECT_EQ(test::ReadFileBytes(dir_ / kSettingsFileName),
            (Bytes{0x00, 0x10, 0, 0, 0, 0xC8, 0, 0, 0, 0, 0x00, 0x03, 0x01, 0, 0xFF}));
}

struct StoredSizeCase {
  const char* name;
  Bytes file;
  Bytes savedAfterLoading;
};

void PrintTo(const StoredSizeCase& c, std::ostream* out) {
  *out << c.name;
}

class SettingsFileOfAnySize : public ::testing::TestWithParam<StoredSizeCase> {};

// Loaded at start and saved at exit, a file of any length becomes the 15-byte form.
TEST_P(SettingsFileOfAnySize, IsSavedBackAsFifteenBytes) {
  test::TempDir dir;
  test::WriteFileBytes(dir / kSettingsFileName, GetParam().file);
  ConversionSettings settings;
  {
    test::ScopedCurrentDirectory start(dir.path());
    ASSERT_TRUE(settings.LoadSettings());
  }
  ASSERT_TRUE(settings.SaveSettings());
  EXPECT_EQ(test::ReadFileBytes(dir / kSettingsFileName), GetParam().savedAfterLoading);
}

// A file too short to hold the tempo gives the default tempo, never 0.
INSTANTIATE_TEST_SUITE_P(
    Sizes, SettingsFileOfAnySize,
    ::testing::Values(
        StoredSizeCase{"Empty", {}, {0, 0, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        StoredSizeCase{"OneByte", {5}, {5, 0, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        StoredSizeCase{"FourteenBytes",
                       {1, 2, 0, 0, 0, 60, 0, 0, 0, 1, 0xE0, 0x01, 1, 40},
                       {1, 2, 0, 0, 0, 60, 0, 0, 0, 1, 0xE0, 0x01, 1, 40, 0}},
        StoredSizeCase{"FifteenBytes",
                       {8, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0xFF, 0xFF, 1, 0x7F, 0x80},
                       {8, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 0xFF, 0xFF, 1, 0x7F, 0x80}},
        StoredSizeCase{"TwentyBytes",
                       {3, 8, 0, 0, 0, 90, 0, 0, 0, 0, 0, 2, 1, 10, 200, 9, 9, 9, 9, 9},
                       {3, 8, 0, 0, 0, 90, 0, 0, 0, 0, 0, 2, 1, 10, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pixorale
