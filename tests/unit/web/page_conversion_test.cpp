#include "page_conversion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/run_cli.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pixorale::web {
namespace {

class PageConversionTest : public ::testing::Test {
 protected:
  PageConversionTest() {
    test::WriteFileBytes(picture_, test::MakeMelodyBmp({60, 20, 250, 64, 0}, {8, 200, 8, 8, 40}));
  }

  // What the converter writes for the same picture and options.
  std::string ConverterBytes(const std::vector<std::string>& options) {
    std::vector<std::string> arguments{"pixorale-convert", picture_.string(), "-o",
                                       (dir_ / "out.mid").string(), "-f"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::RunCli(arguments, {out, err}), 0) << err.str();
    const std::vector<uint8_t> bytes = test::ReadFileBytes(dir_ / "out.mid");
    return {bytes.begin(), bytes.end()};
  }

  test::TempDir dir_;
  std::filesystem::path picture_ = dir_ / "photo.bmp";
};

TEST_F(PageConversionTest, WritesTheConvertersBytesAndDrawsEveryNote) {
  // The browser tests cover the decoders and the settings; here, that the options are the
  // converter's and the output is its file.
  const std::vector<std::vector<std::string>> optionSets = {
      {"--no-settings", "--seed", "99", "--map", "48:84", "--max-seconds", "60"},
      {"--no-settings", "--seed", "7", "--chords", "--timing", "ms", "--key", "F#"},
  };
  for (const auto& options : optionSets) {
    SCOPED_TRACE(testing::PrintToString(options));
    const PageConversion page = ConvertForPage(picture_.string(), "photo.bmp", options);
    ASSERT_FALSE(page.failure) << page.failure->Line();
    EXPECT_EQ(page.midiName, "photo.mid");
    EXPECT_EQ(page.midi, ConverterBytes(options));
    ASSERT_EQ(page.notes.size(), page.outcome.song.noteCount * kNoteFields);
    for (size_t note = 0; note < page.notes.size(); note += kNoteFields) {
      EXPECT_LT(page.notes[note], page.notes[note + 1]);  // starts before it ends
      EXPECT_LE(page.notes[note + 1], static_cast<float>(page.seconds));
    }
  }
}

// The page tells each failure in its own words, by kind; it names the picture as its user
// knows it, not by where the worker put it.
TEST_F(PageConversionTest, TellsEachFailureByKindAboutWhatTheUserGave) {
  test::WriteFileBytes(dir_ / "cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0});
  test::WriteFileBytes(dir_ / "anim.gif", {'G', 'I', 'F', '8', '9', 'a', 0, 0});
  struct Case {
    std::string picture;
    std::vector<std::string> options;
    converter::FailureKind kind;
    std::string subject;
  };
  const Case cases[] = {
      {picture_.string(), {"--tempo", "0"}, converter::FailureKind::kOptionValue, "--tempo"},
      {picture_.string(),
       {"--columns", "9", "--max-seconds", "9"},
       converter::FailureKind::kOptionConflict,
       ""},
      {picture_.string(), {"-o", "x.mid"}, converter::FailureKind::kUsage, ""},
      {picture_.string(), {"--wav", "x.wav"}, converter::FailureKind::kMissingFeature, "--wav"},
      {picture_.string(), {"photo.bmp"}, converter::FailureKind::kUsage, "photo.bmp"},
      {(dir_ / "cut.png").string(), {}, converter::FailureKind::kDamagedPicture, "shown"},
      {(dir_ / "anim.gif").string(), {}, converter::FailureKind::kUnsupportedPicture, "shown"},
      {(dir_ / "gone.bmp").string(), {}, converter::FailureKind::kUnreadablePicture, "shown"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options) + " " + c.picture);
    const PageConversion page = ConvertForPage(c.picture, "shown", c.options);
    ASSERT_TRUE(page.failure);
    EXPECT_EQ(page.failure->kind, c.kind) << page.failure->Line();
    EXPECT_EQ(page.failure->subject, c.subject) << page.failure->Line();
    EXPECT_TRUE(page.midi.empty());
  }
}

TEST_F(PageConversionTest, NamesThePictureInWarningsAsItsUserKnowsIt) {
  std::vector<uint8_t> bytes = test::ReadFileBytes(picture_);
  bytes.resize(bytes.size() - 2);
  test::WriteFileBytes(dir_ / "cut.bmp", bytes);
  const PageConversion page =
      ConvertForPage((dir_ / "cut.bmp").string(), "cut.bmp", {"--seed", "1"});
  ASSERT_FALSE(page.failure) << page.failure->Line();
  ASSERT_EQ(page.warnings.size(), 1u);
  EXPECT_EQ(page.warnings[0].kind, converter::WarningKind::kTruncatedPixels);
  EXPECT_EQ(page.warnings[0].subject, "cut.bmp");
}

}  // namespace
}  // namespace pixorale::web
