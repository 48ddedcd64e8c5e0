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
    const PageConversion page = ConvertForPage(picture_.string(), options);
    ASSERT_TRUE(page.converted) << page.error;
    EXPECT_EQ(page.midiName, "photo.mid");
    EXPECT_EQ(page.midi, ConverterBytes(options));
    ASSERT_EQ(page.notes.size(), page.report.song.noteCount * kNoteFields);
    for (size_t note = 0; note < page.notes.size(); note += kNoteFields) {
      EXPECT_LT(page.notes[note], page.notes[note + 1]);  // starts before it ends
      EXPECT_LE(page.notes[note + 1], static_cast<float>(page.seconds));
    }
  }
}

TEST_F(PageConversionTest, SaysWhatIsWrongInOneLineWithoutTheProgramsName) {
  test::WriteFileBytes(dir_ / "cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0});
  struct Case {
    std::string picture;
    std::vector<std::string> options;
    std::string error;
  };
  const Case cases[] = {
      {picture_.string(), {"--tempo", "0"}, "--tempo: '0' is not a whole number"},
      {picture_.string(), {"-o", "x.mid"}, "the page reads and writes no files"},
      {picture_.string(), {"--wav", "x.wav"}, "--wav"},
      {(dir_ / "cut.png").string(), {}, "PNG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    const PageConversion page = ConvertForPage(c.picture, c.options);
    EXPECT_FALSE(page.converted);
    EXPECT_NE(page.error.find(c.error), std::string::npos) << page.error;
    EXPECT_EQ(page.error.find("pixorale-convert:"), std::string::npos) << page.error;
    EXPECT_EQ(page.error.find('\n'), std::string::npos) << page.error;
    EXPECT_TRUE(page.midi.empty());
  }
}

TEST_F(PageConversionTest, NamesThePictureInWarningsAsItsUserKnowsIt) {
  std::vector<uint8_t> bytes = test::ReadFileBytes(picture_);
  bytes.resize(bytes.size() - 2);
  test::WriteFileBytes(dir_ / "cut.bmp", bytes);
  const PageConversion page = ConvertForPage((dir_ / "cut.bmp").string(), {"--seed", "1"});
  ASSERT_TRUE(page.converted) << page.error;
  ASSERT_EQ(page.warnings.size(), 1u);
  EXPECT_TRUE(page.warnings[0].starts_with("cut.bmp: the pixel data ends ")) << page.warnings[0];
}

}  // namespace
}  // namespace pixorale::web
