#include "app/converter/convert_one.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/converter/conversion_jobs.h"
#include "app/converter/effective_settings.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pixorale::converter {
namespace {

namespace fs = std::filesystem;

// Each input the converter cannot convert fails with the kind a shell tells it by.
class ConvertOneFailures : public ::testing::Test {
 protected:
  ConvertOneFailures() {
    test::WriteFileBytes(dir_ / "a.bmp", test::MakeMelodyBmp({60, 62, 64}, {8, 8, 8}));
    test::WriteFileBytes(
        dir_ / "gray.bmp",
        test::BmpBuilder{.width = 2, .height = 2, .bitCount = 8, .rows = {}}.Build());
    test::WriteFileBytes(dir_ / "anim.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    test::WriteFileBytes(dir_ / "cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0});
    test::WriteFileBytes(dir_ / "old.mid", {'M'});
    fs::create_directory(dir_ / "folder.mid");
  }

  ConversionOutcome Convert(const std::string& input, const std::string& output,
                            uint32_t maxColumns = kDefaultMaxColumns) {
    ConverterOptions options;
    options.inputs = {(dir_ / input).string()};
    options.output = (dir_ / output).string();
    options.maxColumns = maxColumns;
    ConversionSettings settings;
    settings.InstallDefaults();
    const BatchSettings batch = BatchSettingsFor(options, settings);
    const ConversionJob job = PlanConversionJobs(options).front();
    JobOutputs outputs(job, batch.outputs);
    return ConvertOne(job, batch, outputs);
  }

  test::TempDir dir_;
};

TEST_F(ConvertOneFailures, EachIsToldByItsKind) {
  struct Case {
    std::string input;
    std::string output;
    uint32_t maxColumns;
    FailureKind kind;
    std::string subject;  // relative to the test's folder
  };
  const Case cases[] = {
      {"gone.bmp", "a.mid", kDefaultMaxColumns, FailureKind::kUnreadablePicture, "gone.bmp"},
      {"gray.bmp", "a.mid", kDefaultMaxColumns, FailureKind::kNotTrueColour, "gray.bmp"},
      {"anim.gif", "a.mid", kDefaultMaxColumns, FailureKind::kUnsupportedPicture, "anim.gif"},
      {"cut.png", "a.mid", kDefaultMaxColumns, FailureKind::kDamagedPicture, "cut.png"},
      {"a.bmp", "a.mid", 2, FailureKind::kPictureTooLarge, "a.bmp"},
      {"a.bmp", "old.mid", kDefaultMaxColumns, FailureKind::kOutputExists, "old.mid"},
      {"a.bmp", "folder.mid", kDefaultMaxColumns, FailureKind::kOutputRefused, "folder.mid"},
      {"a.bmp", "no-such-folder/a.mid", kDefaultMaxColumns, FailureKind::kWriteFailed,
       "no-such-folder/a.mid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input + " -> " + c.output);
    const ConversionOutcome outcome = Convert(c.input, c.output, c.maxColumns);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->kind, c.kind) << outcome.failure->Line();
    EXPECT_EQ(outcome.failure->subject, (dir_ / c.subject).string());
  }
  EXPECT_TRUE(Convert("a.bmp", "new.mid").converted());
}

// A setting.set that is there but cannot be read is the user's: converting with the defaults
// instead is said. No setting.set at all is the usual case and says nothing.
TEST(LoadEffectiveSettings, AnUnreadableSettingSetIsWarnedAbout) {
  test::TempDir dir;
  const test::ScopedCurrentDirectory here(dir.path());
  const Result<LoadedSettings> none = LoadEffectiveSettings({});
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->warnings.empty());

  // A link to itself cannot be opened, by anyone: the system says so.
  std::error_code error;
  fs::create_symlink(kSettingsFileName, dir / kSettingsFileName, error);
  if (error) GTEST_SKIP() << "no symbolic links here";
  const Result<LoadedSettings> loop = LoadEffectiveSettings({});
  ASSERT_TRUE(loop);
  ASSERT_EQ(loop->warnings.size(), 1u);
  EXPECT_EQ(loop->warnings[0].kind, WarningKind::kUnreadableSettings);
  EXPECT_EQ(loop->settings.tempo, kDefaultTempo);
}

}  // namespace
}  // namespace pixorale::converter
