#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/picture_file.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

void Draw(const std::string& arguments, const fs::path& output) {
  const std::string command = "convert " + arguments + " " + output.string() + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A 5 x 3 picture in one format, read under limits just at or just past its size.
struct LimitCase {
  std::string name;
  std::string file;  // ImageMagick's output, with its format prefix
  DecodeLimits limits;
  PictureStep expected;
  std::string reason;  // a part of the one-line reason, when refused
};

void PrintTo(const LimitCase& c, std::ostream* out) {
  *out << c.name;
}

class PictureLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(PictureLimits, AreCheckedFromTheHeaderOfEveryFormat) {
  const LimitCase& c = GetParam();
  test::TempDir dir;
  const fs::path path = dir / "picture";
  Draw("-size 5x3 xc:red -type TrueColor", c.file.substr(0, c.file.find(':') + 1) + path.string());
  BitmapImage image;
  const PictureLoad load = LoadPictureFile(path.string(), image, c.limits);
  EXPECT_EQ(load.failedStep, c.expected) << DescribePictureLoad(load);
  if (c.expected == PictureStep::kNone) {
    EXPECT_EQ(image.width, 5u);
    EXPECT_TRUE(image.HasRows24());
  } else {
    EXPECT_NE(DescribePictureLoad(load).find(c.reason), std::string::npos)
        << DescribePictureLoad(load);
    EXPECT_FALSE(image.HasRows24());
    EXPECT_EQ(image.width, 0u);
  }
}

constexpr uint64_t kMemory = DecodeLimits{}.memoryBytes;

INSTANTIATE_TEST_SUITE_P(
    ColumnsAndArea, PictureLimits,
    testing::Values(
        LimitCase{"PngAtColumnLimit", "PNG24:", {kMemory, 5, 15}, PictureStep::kNone, ""},
        LimitCase{"PngPastColumnLimit",
                  "PNG24:",
                  {kMemory, 4, 15},
                  PictureStep::kColumns,
                  "PNG: too wide to convert: 5 columns, the limit is 4"},
        LimitCase{"JpegPastColumnLimit",
                  "JPEG:",
                  {kMemory, 4, 15},
                  PictureStep::kColumns,
                  "JPEG: too wide to convert: 5 columns, the limit is 4"},
        LimitCase{"BmpAtColumnLimit", "BMP3:", {kMemory, 5, 15}, PictureStep::kNone, ""},
        LimitCase{"BmpPastColumnLimit",
                  "BMP3:",
                  {kMemory, 4, 15},
                  PictureStep::kColumns,
                  "too wide to convert: 5 columns, the limit is 4"},
        LimitCase{"PngPastAreaLimit",
                  "PNG24:",
                  {kMemory, 5, 14},
                  PictureStep::kArea,
                  "PNG: too large to decode: 5 x 3 = 15 pixels, the limit is 14"},
        // JPEG rows are skipped and BMP rows read where they lie: the area costs them no time.
        LimitCase{"JpegIgnoresAreaLimit", "JPEG:", {kMemory, 5, 1}, PictureStep::kNone, ""},
        LimitCase{"BmpIgnoresAreaLimit", "BMP3:", {kMemory, 5, 1}, PictureStep::kNone, ""}),
    [](const testing::TestParamInfo<LimitCase>& info) { return info.param.name; });

// libjpeg itself only says "Backing store not supported".
TEST(JpegMemoryLimit, ProgressivePictureSaysHowMuchItNeeds) {
  test::TempDir dir;
  // One grey component of 256 x 128 blocks, 128 bytes each: 4 MiB of coefficients.
  Draw("-size 2048x1024 xc:gray50 -interlace JPEG", dir / "progressive.jpg");
  BitmapImage image;
  const PictureLoad load =
      LoadPictureFile((dir / "progressive.jpg").string(), image, {.memoryBytes = 1u << 20});
  EXPECT_EQ(load.failedStep, PictureStep::kMemory);
  EXPECT_NE(load.jpegError, 0);  // libjpeg's own code is kept
  EXPECT_EQ(DescribePictureLoad(load),
            "JPEG: too large to decode: 2048 x 1024 needs 4 MiB, 3 MiB over the limit of 1 MiB");
  EXPECT_TRUE(LoadPictureFile((dir / "progressive.jpg").string(), image).ok());
}

// The converter opens its input once: what it reads is the file it opened, whatever the
// path names by the time it reads.
TEST(PictureFile, ReadsTheFileAlreadyOpenNotThePath) {
  test::TempDir dir;
  Draw("-size 7x2 xc:blue", "PNG24:" + (dir / "picture").string());
  Draw("-size 3x2 xc:blue", "BMP3:" + (dir / "other.bmp").string());
  ReadOnlyFile file;
  ASSERT_TRUE(file.Open((dir / "picture").string()).ok());
  fs::rename(dir / "other.bmp", dir / "picture");
  BitmapImage image;
  const PictureLoad load = LoadPictureFile(file, image);
  ASSERT_TRUE(load.ok()) << DescribePictureLoad(load);
  EXPECT_EQ(load.format, PictureFormat::kPng);
  EXPECT_EQ(image.width, 7u);
}

}  // namespace
}  // namespace pixorale
