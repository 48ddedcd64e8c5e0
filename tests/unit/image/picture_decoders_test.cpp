#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "image/bitmap_image.h"
#include "image/jpeg_rows.h"
#include "image/png_rows.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

// A picture made by ImageMagick: what to draw, at what size, saved how.
struct DecoderCase {
  std::string name;
  std::string draw;  // ImageMagick arguments before the output name
  std::string file;  // output name with its format prefix
};

void PrintTo(const DecoderCase& c, std::ostream* out) {
  *out << c.name;
}

PictureLoad Decode(const std::filesystem::path& path, BitmapImage& image) {
  const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
  MemoryByteSource source(bytes);
  return path.extension() == ".png" ? DecodePngRows(source, image) : DecodeJpegRows(source, image);
}

void RunCommand(const std::string& command) {
  ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
}

class DecoderEquivalence : public testing::TestWithParam<DecoderCase> {};

// The rows decoded must be the rows of the 24-bit BMP that ImageMagick saves from the file.
TEST_P(DecoderEquivalence, RowsMatchImageMagicksBmp) {
  const DecoderCase& c = GetParam();
  test::TempDir dir;
  const std::string name = c.file.substr(c.file.find(':') + 1);
  RunCommand("convert " + c.draw + " " + c.file.substr(0, c.file.find(':') + 1) +
             (dir / name).string());
  RunCommand("convert " + (dir / name).string() +
             " -type TrueColor BMP3:" + (dir / "expected.bmp").string());

  BitmapImage decoded;
  const PictureLoad load = Decode(dir / name, decoded);
  ASSERT_TRUE(load.ok()) << DescribePictureLoad(load);
  BitmapImage expected;
  ASSERT_TRUE(expected.LoadBitmapFile((dir / "expected.bmp").string()).ok());
  ASSERT_EQ(expected.bitCount, 24);
  ASSERT_EQ(decoded.width, expected.width);
  ASSERT_EQ(decoded.height, expected.height);
  const auto row = [](const BitmapImage& image, uint32_t r) {
    const auto span = image.Row24(r);
    return std::vector<uint8_t>(span.begin(), span.end());
  };
  EXPECT_EQ(row(decoded, 0), row(expected, 0));
  EXPECT_EQ(row(decoded, decoded.height / 2), row(expected, expected.height / 2));
}

// Plasma gives every pixel its own colour; the seed makes it the same on every run.
const std::string kPlasma = "-seed 7 plasma:red-blue";
std::string Sized(const std::string& size, const std::string& more = "") {
  return "-size " + size + " " + kPlasma + (more.empty() ? "" : " " + more);
}

INSTANTIATE_TEST_SUITE_P(
    Png, DecoderEquivalence,
    testing::Values(
        DecoderCase{"Rgb8", Sized("37x23"), "PNG24:rgb8.png"},
        DecoderCase{"OneRow", Sized("19x1"), "PNG24:one-row.png"},
        DecoderCase{"TwoRows", Sized("19x2"), "PNG24:two-rows.png"},
        DecoderCase{"Grey8", Sized("37x24", "-colorspace Gray -depth 8"), "PNG:grey8.png"},
        DecoderCase{"Grey2", Sized("29x9", "-colorspace Gray -depth 2"), "PNG:grey2.png"},
        DecoderCase{"Palette", Sized("41x17", "-colors 13"), "PNG8:palette.png"},
        DecoderCase{"PaletteWithTransparency",
                    Sized("41x17", "-colors 9 -fuzz 20% -transparent red"),
                    "PNG8:palette-transparent.png"},
        DecoderCase{"Rgb16", Sized("33x21", "-depth 16"), "PNG48:rgb16.png"},
        DecoderCase{"Grey16", Sized("33x21", "-colorspace Gray -depth 16"), "PNG:grey16.png"},
        // Alpha that varies across the picture: colours must come out as stored.
        DecoderCase{"RgbaColoursAsStored",
                    Sized("31x15", "-alpha set -channel A -fx 'i/w' +channel"), "PNG32:rgba.png"},
        DecoderCase{"Rgba16", Sized("31x15", "-alpha set -channel A -fx 'j/h' +channel -depth 16"),
                    "PNG64:rgba16.png"},
        DecoderCase{"Interlaced", Sized("45x37", "-interlace PNG"), "PNG24:interlaced.png"},
        DecoderCase{"InterlacedTiny", Sized("3x5", "-interlace PNG"), "PNG24:interlaced-tiny.png"}),
    [](const testing::TestParamInfo<DecoderCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Jpeg, DecoderEquivalence,
    testing::Values(
        DecoderCase{"Baseline420", Sized("97x61", "-sampling-factor 2x2 -quality 90"),
                    "JPEG:baseline420.jpg"},
        DecoderCase{"Baseline422", Sized("64x50", "-sampling-factor 2x1"), "JPEG:baseline422.jpg"},
        DecoderCase{"Baseline444", Sized("33x17", "-sampling-factor 1x1"), "JPEG:baseline444.jpg"},
        // Heights around one and two 16-row blocks: the skipped rows end at block edges.
        DecoderCase{"Height1", Sized("40x1", "-sampling-factor 2x2"), "JPEG:height1.jpg"},
        DecoderCase{"Height17", Sized("40x17", "-sampling-factor 2x2"), "JPEG:height17.jpg"},
        DecoderCase{"Height33", Sized("40x33", "-sampling-factor 2x2"), "JPEG:height33.jpg"},
        DecoderCase{"Height64", Sized("40x64", "-sampling-factor 2x2"), "JPEG:height64.jpg"},
        DecoderCase{"Tall", Sized("24x301", "-sampling-factor 2x2"), "JPEG:tall.jpg"},
        DecoderCase{"Progressive", Sized("97x61", "-interlace JPEG"), "JPEG:progressive.jpg"},
        DecoderCase{"Grey", Sized("50x31", "-colorspace Gray"), "JPEG:grey.jpg"},
        DecoderCase{"Restarts", Sized("80x48", "-define jpeg:restart-interval=1"),
                    "JPEG:restarts.jpg"}),
    [](const testing::TestParamInfo<DecoderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace pixorale
