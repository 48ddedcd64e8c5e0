#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "read_only_directory.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

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
  IoResult saved;
  {
    test::ScopedFileSizeLimit limit(4);
    saved = settings_.SaveSettings();
  }
  EXPECT_EQ(saved.failedStep, IoStep::kWrite);
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

}  // namespace
}  // namespace pixorale
