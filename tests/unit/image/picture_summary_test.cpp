#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "image/bitmap_image.h"
#include "image/picture_file.h"
#include "image/picture_summary.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

TEST(PictureSummary, EachCellAddsUpThePixelsThatFallInIt) {
  // Three columns and two rows of pixels into a grid of as many cells.
  PictureSummary summary;
  summary.Begin(3, 2, 3, 2);
  const std::vector<uint8_t> top = {0, 0, 255, 0, 255, 0, 255, 0, 0};  // red, green, blue (BGR)
  const std::vector<uint8_t> bottom = {10, 20, 30, 10, 20, 30, 10, 20, 30};
  summary.AddRow(0, top, kBlueGreenRed);
  summary.AddRow(1, bottom, kBlueGreenRed);
  ASSERT_EQ(summary.columns(), 3u);
  ASSERT_EQ(summary.rows(), 2u);
  struct Expected {
    uint32_t column, row;
    uint64_t luma, red, green, blue;
  };
  for (const Expected& e :
       std::vector<Expected>{{0, 0, 76, 255, 0, 0},
                             {1, 0, 149, 0, 255, 0},
                             {2, 0, 28, 0, 0, 255},
                             {1, 1, (77 * 30 + 150 * 20 + 29 * 10) / 256, 30, 20, 10}}) {
    const SummaryCell& cell = summary.Cell(e.column, e.row);
    EXPECT_EQ(cell.pixels, 1u);
    EXPECT_EQ(cell.luma, e.luma) << e.column << "," << e.row;
    EXPECT_EQ(cell.lumaSquares, e.luma * e.luma);
    EXPECT_EQ(cell.red, e.red);
    EXPECT_EQ(cell.green, e.green);
    EXPECT_EQ(cell.blue, e.blue);
  }
}

TEST(PictureSummary, ALargePictureFoldsIntoTheGridAndPassesArriveInAnyOrder) {
  const uint32_t width = kSummaryColumns * 2 + 1;
  const uint32_t height = kSummaryRows * 3;
  PictureSummary whole;
  PictureSummary passes;
  whole.Begin(width, height, width, height);
  passes.Begin(width, height, width, height);
  std::vector<uint8_t> row(size_t{width} * 3);
  for (uint32_t r = 0; r < height; ++r) {
    for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 7 + r * 13);
    whole.AddRow(r, row, kRedGreenBlue);
    // The odd columns first, then the even ones, as interlaced passes would give them.
    passes.AddPixels(r, row, kRedGreenBlue, 1, 2);
    passes.AddPixels(r, row, kRedGreenBlue, 0, 2);
  }
  ASSERT_EQ(whole.columns(), kSummaryColumns);
  ASSERT_EQ(whole.rows(), kSummaryRows);
  uint64_t pixels = 0;
  for (uint32_t r = 0; r < kSummaryRows; ++r) {
    for (uint32_t c = 0; c < kSummaryColumns; ++c) {
      pixels += whole.Cell(c, r).pixels;
      EXPECT_EQ(whole.Cell(c, r).luma, passes.Cell(c, r).luma);
      EXPECT_EQ(whole.Cell(c, r).red, passes.Cell(c, r).red);
    }
  }
  EXPECT_EQ(pixels, uint64_t{width} * height);
}

void RunCommand(const std::string& command) {
  ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
}

PictureSummary SummaryOf(const std::filesystem::path& path) {
  BitmapImage image;
  DecodeLimits limits;
  limits.summarize = true;
  const PictureLoad load = LoadPictureFile(path.string(), image, limits);
  EXPECT_TRUE(load.ok()) << DescribePictureLoad(load);
  return image.summary;
}

bool SameCells(const PictureSummary& a, const PictureSummary& b) {
  if (a.columns() != b.columns() || a.rows() != b.rows()) return false;
  for (uint32_t r = 0; r < a.rows(); ++r) {
    for (uint32_t c = 0; c < a.columns(); ++c) {
      const SummaryCell& x = a.Cell(c, r);
      const SummaryCell& y = b.Cell(c, r);
      if (x.pixels != y.pixels || x.luma != y.luma || x.lumaSquares != y.lumaSquares ||
          x.red != y.red || x.green != y.green || x.blue != y.blue) {
        return false;
      }
    }
  }
  return true;
}

// The BMP reader and the PNG decoder summarise the same picture alike, a PNG interlaced or
// not, 8 or 16 bits a sample.
TEST(PictureSummary, EveryReaderSummarisesThePictureAlike) {
  test::TempDir dir;
  const std::string picture = "-size 300x80 plasma:red-blue -seed 3";
  RunCommand("convert " + picture + " -type TrueColor BMP3:" + (dir / "up.bmp").string());
  const PictureSummary expected = SummaryOf(dir / "up.bmp");
  ASSERT_EQ(expected.rows(), kSummaryRows);
  const std::string source = (dir / "up.bmp").string();
  RunCommand("convert " + source + " PNG24:" + (dir / "plain.png").string());
  RunCommand("convert " + source + " -interlace PNG PNG24:" + (dir / "interlaced.png").string());
  RunCommand("convert " + source + " -depth 16 PNG48:" + (dir / "wide.png").string());
  for (const char* name : {"plain.png", "interlaced.png", "wide.png"}) {
    EXPECT_TRUE(SameCells(SummaryOf(dir / name), expected)) << name;
  }
}

TEST(PictureSummary, ALargeJpegIsReadAtAnEighthOfItsSize) {
  test::TempDir dir;
  RunCommand("convert -size 2400x800 plasma: -seed 2 " + (dir / "large.jpg").string());
  BitmapImage image;
  DecodeLimits limits;
  limits.summarize = true;
  ASSERT_TRUE(LoadPictureFile((dir / "large.jpg").string(), image, limits).ok());
  EXPECT_EQ(image.width, 300u);
  EXPECT_EQ(image.height, 100u);
  EXPECT_EQ(image.summary.pictureWidth(), 2400u);
  EXPECT_EQ(image.summary.pictureHeight(), 800u);
  EXPECT_EQ(image.summary.columns(), kSummaryColumns);
  // Without the summary it is read whole, as before.
  ASSERT_TRUE(LoadPictureFile((dir / "large.jpg").string(), image).ok());
  EXPECT_EQ(image.width, 2400u);
  EXPECT_TRUE(image.summary.empty());
}

}  // namespace
}  // namespace pixorale
