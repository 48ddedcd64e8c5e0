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
    ASSERT_TRUE(page.converted) << page.error.reason;
    EXPECT_EQ(page.midiName, "photo.mid");
    EXPECT_EQ(page.midi, ConverterBytes(options));
    ASSERT_EQ(page.notes.size(), page.report.song.noteCount * kNoteFields);
    for (size_t note = 0; note < page.notes.size(); note += kNoteFields) {
      EXPECT_LT(page.notes[note], page.notes[note + 1]);  // starts before it ends
      EXPECT_LE(page.notes[note + 1], static_cast<float>(page.seconds));
    }
  }
}

TEST_F(PageConversionTest, TellsWhatIsWrongByKindWithTheConvertersLineWithoutItsName) {
  test::WriteFileBytes(dir_ / "cut.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0});
  test::WriteFileBytes(dir_ / "anim.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0});
  test::BmpBuilder paletted;
  paletted.width = 2;
  paletted.height = 2;
  paletted.bitCount = 8;
  test::WriteFileBytes(dir_ / "paletted.bmp", paletted.Build());
  struct Case {
    std::string picture;
    std::vector<std::string> options;
    std::string kind;
    std::string reason;
  };
  const Case cases[] = {
      {picture_.string(), {"--tempo", "0"}, "option-value", "--tempo: '0' is not a whole number"},
      {picture_.string(), {"-o", "x.mid"}, "option-value", "the page reads and writes no files"},
      {picture_.string(), {"--wav", "x.wav"}, "option-value", "--wav"},
      {(dir_ / "cut.png").string(), {}, "damaged-picture", "PNG"},
      {(dir_ / "anim.gif").string(), {}, "unsupported-picture", "GIF"},
      {(dir_ / "paletted.bmp").string(), {}, "not-true-colour", "8 bits per pixel"},
      {(dir_ / "gone.bmp").string(), {}, "unreadable-picture", "No such file"},
      {picture_.string(), {"--max-columns", "4"}, "picture-too-large", "--max-columns"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const PageConversion page = ConvertForPage(c.picture, c.options);
    EXPECT_FALSE(page.converted);
    EXPECT_EQ(page.error.kind, c.kind);
    EXPECT_NE(page.error.reason.find(c.reason), std::string::npos) << page.error.reason;
    EXPECT_EQ(page.error.reason.find("pixorale-convert:"), std::string::npos) << page.error.reason;
    EXPECT_EQ(page.error.reason.find('\n'), std::string::npos) << page.error.reason;
    EXPECT_TRUE(page.midi.empty());
  }
}

TEST_F(PageConversionTest, EveryNoteKnowsThePictureColumnsItComesFrom) {
  // Five columns; the chords start with melody notes and take their columns.
  struct Case {
    std::vector<std::string> options;
    std::vector<std::pair<float, float>> melodySpans;
  };
  const Case cases[] = {
      {{"--seed", "1", "--chords"}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
      {{"--seed", "1", "--columns", "2"}, {{0, 1}, {2, 4}}},
      {{"--seed", "1", "--columns", "8"},
       {{0, 0}, {0, 0}, {1, 1}, {1, 1}, {2, 2}, {3, 3}, {3, 3}, {4, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    const PageConversion page = ConvertForPage(picture_.string(), c.options);
    ASSERT_TRUE(page.converted) << page.error.reason;
    std::vector<std::pair<float, float>> melody;
    std::pair<float, float> lastMelody{-1, -1};
    float lastMelodyStart = -1;
    for (size_t at = 0; at < page.notes.size(); at += kNoteFields) {
      const std::pair<float, float> span{page.notes[at + kNoteColumnField],
                                         page.notes[at + kNoteColumnField + 1]};
      if (page.notes[at + kNoteTrackField] == 0) {
        melody.push_back(span);
        lastMelody = span;
        lastMelodyStart = page.notes[at];
      } else {
        EXPECT_EQ(page.notes[at], lastMelodyStart);
        EXPECT_EQ(span, lastMelody);
      }
    }
    EXPECT_EQ(melody, c.melodySpans);
  }
}

TEST_F(PageConversionTest, NamesTheRowsItReadsCountedFromThePicturesTop) {
  // Row 0 is the bottom row of a usual BMP and the top row of a top-down one.
  for (const bool topDown : {false, true}) {
    SCOPED_TRACE(topDown);
    test::BmpBuilder bmp;
    bmp.width = 2;
    bmp.height = topDown ? -5 : 5;
    bmp.rows.assign(5, std::vector<test::Bgr>(2, test::Bgr{10, 20, 60}));
    test::WriteFileBytes(dir_ / "rows.bmp", bmp.Build());
    const PageConversion page = ConvertForPage((dir_ / "rows.bmp").string(), {"--seed", "1"});
    ASSERT_TRUE(page.converted) << page.error.reason;
    EXPECT_EQ(page.report.pictureWidth, 2u);
    EXPECT_EQ(page.report.pictureHeight, 5u);
    ASSERT_EQ(page.rowsRead.size(), 2u);
    EXPECT_EQ(page.rowsRead[0].role, "pitch");
    EXPECT_EQ(page.rowsRead[0].fromTop, topDown ? 0u : 4u);
    EXPECT_EQ(page.rowsRead[1].role, "time");
    EXPECT_EQ(page.rowsRead[1].fromTop, 2u);
  }
}

TEST_F(PageConversionTest, TellsWarningsByKindNamingThePictureAsItsUserKnowsIt) {
  std::vector<uint8_t> bytes = test::ReadFileBytes(picture_);
  bytes.resize(bytes.size() - 2);
  test::WriteFileBytes(dir_ / "cut.bmp", bytes);
  const PageConversion page =
      ConvertForPage((dir_ / "cut.bmp").string(),
                     {"--seed", "1", "--sustain", "0", "--tempo", "3", "--range", "90:40"});
  ASSERT_TRUE(page.converted) << page.error.reason;
  std::vector<std::string> kinds;
  for (const PageMessage& warning : page.warnings) kinds.push_back(warning.kind);
  EXPECT_EQ(kinds, (std::vector<std::string>{"range-not-applied", "silent-notes", "tempo-inexact",
                                             "picture-cut-short"}));
  EXPECT_EQ(page.warnings.back().subject, "cut.bmp");
  EXPECT_TRUE(page.warnings.back().reason.starts_with("cut.bmp: the pixel data ends "))
      << page.warnings.back().reason;
}

}  // namespace
}  // namespace pixorale::web
