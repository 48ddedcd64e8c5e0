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
  const size_t track = NoteField("track");
  const size_t first = NoteField("firstColumn");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    const PageConversion page = ConvertForPage(picture_.string(), "photo.bmp", c.options);
    ASSERT_FALSE(page.failure) << page.failure->Line();
    std::vector<std::pair<float, float>> melody;
    std::pair<float, float> lastMelody{-1, -1};
    float lastMelodyStart = -1;
    for (size_t at = 0; at < page.notes.size(); at += kNoteFields) {
      const std::pair<float, float> span{page.notes[at + first], page.notes[at + first + 1]};
      if (page.notes[at + track] == 0) {
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

// The musical reading says where it read each melody note; the page shows those columns.
TEST_F(PageConversionTest, TheMusicalReadingsNotesComeFromWhereItReadThem) {
  const PageConversion page =
      ConvertForPage(picture_.string(), "photo.bmp", {"--seed", "1", "--preset", "musical"});
  ASSERT_FALSE(page.failure) << page.failure->Line();
  const std::vector<NoteSource>& sources = page.outcome.report.noteSources;
  ASSERT_FALSE(sources.empty());
  EXPECT_TRUE(page.rowsRead.empty()) << "the whole picture is read, not two rows";
  const size_t first = NoteField("firstColumn");
  size_t melodyNote = 0;
  for (size_t at = 0; at < page.notes.size(); at += kNoteFields) {
    if (page.notes[at + NoteField("track")] != 0) continue;
    ASSERT_LT(melodyNote, sources.size());
    EXPECT_EQ(page.notes[at + first], static_cast<float>(sources[melodyNote].firstColumn));
    EXPECT_EQ(page.notes[at + first + 1], static_cast<float>(sources[melodyNote].endColumn - 1));
    ++melodyNote;
  }
  EXPECT_EQ(melodyNote, sources.size());
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
    const PageConversion page = ConvertForPage((dir_ / "rows.bmp").string(), "rows.bmp", {});
    ASSERT_FALSE(page.failure) << page.failure->Line();
    EXPECT_EQ(page.outcome.report.pictureWidth, 2u);
    EXPECT_EQ(page.outcome.report.pictureHeight, 5u);
    ASSERT_EQ(page.rowsRead.size(), 2u);
    EXPECT_EQ(page.rowsRead[0].role, "pitch");
    EXPECT_EQ(page.rowsRead[0].fromTop, topDown ? 0u : 4u);
    EXPECT_EQ(page.rowsRead[1].role, "time");
    EXPECT_EQ(page.rowsRead[1].fromTop, 2u);
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
