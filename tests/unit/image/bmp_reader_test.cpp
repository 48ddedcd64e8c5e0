#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "image/bitmap_image.h"
#include "io/read_only_file.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"
#include "unit/image/bmp_test_file.h"

namespace pixorale::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes RowBytes(std::span<const uint8_t> row) {
  return {row.begin(), row.end()};
}

BmpBuilder Picture(int32_t width, int32_t height, uint16_t bitCount = 24,
                   uint32_t infoHeaderSize = 40) {
  BmpBuilder bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bitCount = bitCount;
  bmp.infoHeaderSize = infoHeaderSize;
  return bmp;
}

// Loads in a child limited to 1 GiB of address space, where any allocation of a claimed
// gigabyte size fails; exits 0 only when the load refused the claim.
[[noreturn]] void LoadWithLittleMemory(BitmapImage& image, const std::string& path) {
#ifndef __SANITIZE_ADDRESS__  // the sanitizer reserves more than that for itself
  const rlimit limit{1u << 30, 1u << 30};
  setrlimit(RLIMIT_AS, &limit);
#endif
  std::exit(image.LoadBitmapFile(path).failedStep == PictureStep::kHeader ? 0 : 1);
}

// 2 x 2, 24-bit, bottom-up, classic 54-byte header.
// clang-format off
const Bytes kTwoByTwo = {
    'B', 'M',                 // signature
    70, 0, 0, 0,              // file size
    0, 0, 0, 0,               // reserved
    54, 0, 0, 0,              // pixel-data offset
    40, 0, 0, 0,              // info header size
    2, 0, 0, 0,               // width
    2, 0, 0, 0,               // height
    1, 0,                     // planes
    24, 0,                    // bit count
    0, 0, 0, 0,               // compression
    16, 0, 0, 0,              // image size
    0x13, 0x0B, 0, 0,         // horizontal resolution
    0x13, 0x0B, 0, 0,         // vertical resolution
    0, 0, 0, 0,               // colours used
    0, 0, 0, 0,               // important colours
    0x10, 0x20, 0x30, 0x11, 0x21, 0x31, 0, 0,  // bottom row: left, right, padding
    0x12, 0x22, 0x32, 0x13, 0x23, 0x33, 0, 0,  // top row
};
// clang-format on

using BmpReader = BmpFileTest;

TEST_F(BmpReader, RowZeroOfABottomUpFileIsTheBottomRowBlueFirst) {
  ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
  EXPECT_EQ(image.bitCount, 24);
  EXPECT_EQ(image.width, 2u);
  EXPECT_EQ(image.height, 2u);
  ASSERT_TRUE(image.HasRows24());
  EXPECT_EQ(image.Row24(0)[0], 0x10);  // bottom-left blue
  EXPECT_EQ(image.Row24(0)[2], 0x30);  // bottom-left red
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0x23, 0x33}));
}

TEST_F(BmpReader, KeepsTheUninterpretedHeaderBytes) {
  ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
  // clang-format off
  const std::array<uint8_t, 44> expected = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,  // file header, info size
      1, 0,                                                          // planes
      0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,   // compression to colours
      0, 0, 0, 0, 0, 0, 0, 0};
  // clang-format on
  EXPECT_EQ(image.headerScratch, expected);
}

struct PaddingCase {
  int32_t width;
  size_t rowBytes;
  size_t fileSize;  // two rows, each padded to four bytes
};

class BmpReaderPadding : public BmpFileTest, public ::testing::WithParamInterface<PaddingCase> {};

TEST_P(BmpReaderPadding, RowsSkipThePaddingOfTheRowBefore) {
  BmpBuilder bmp = Picture(GetParam().width, 2);
  bmp.rows.assign(2, {});
  for (uint8_t r = 0; r < 2; ++r) {
    for (uint8_t p = 0; p < GetParam().width; ++p) {
      bmp.rows[r].push_back({.blue = uint8_t(10 * r + p + 1),
                             .green = uint8_t(40 + 10 * r + p),
                             .red = uint8_t(80 + 10 * r + p)});
    }
  }
  const Bytes file = bmp.Build();
  ASSERT_EQ(file.size(), GetParam().fileSize);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  for (uint8_t r = 0; r < 2; ++r) {
    const auto row = image.Row24(r);
    ASSERT_EQ(row.size(), GetParam().rowBytes);
    for (uint8_t p = 0; p < GetParam().width; ++p) {
      EXPECT_EQ(row[3 * p], 10 * r + p + 1) << "row " << int{r} << " pixel " << int{p};
      EXPECT_EQ(row[3 * p + 1], 40 + 10 * r + p);
      EXPECT_EQ(row[3 * p + 2], 80 + 10 * r + p);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpReaderPadding,
                         ::testing::Values(PaddingCase{1, 3, 62}, PaddingCase{2, 6, 70},
                                           PaddingCase{3, 9, 78}, PaddingCase{4, 12, 78}));

TEST_F(BmpReader, WidthZeroHasEmptyRowsAndFreesCleanly) {
  ASSERT_EQ(Load(Picture(0, 3).Build()), PictureStep::kNone);
  EXPECT_EQ(image.height, 3u);
  ASSERT_TRUE(image.HasRows24());
  EXPECT_TRUE(image.Row24(image.MiddleRowIndex()).empty());
  image.FreeBitmap();
  EXPECT_EQ(image.bitCount, 0);
  EXPECT_EQ(image.height, 0u);
}

TEST_F(BmpReader, HeightZeroHasNoRowsAndFreesCleanly) {
  ASSERT_EQ(Load(Picture(5, 0).Build()), PictureStep::kNone);
  EXPECT_EQ(image.bitCount, 24);
  EXPECT_EQ(image.width, 5u);
  EXPECT_FALSE(image.HasRows24());
  image.FreeBitmap();
  EXPECT_EQ(image.bitCount, 0);
  EXPECT_EQ(image.width, 0u);
}

class BmpReaderOtherBitCounts : public BmpFileTest,
                                public ::testing::WithParamInterface<uint16_t> {};

TEST_P(BmpReaderOtherBitCounts, LoadTheHeaderButNoRows) {
  ASSERT_EQ(Load(Picture(3, 2, GetParam()).Build()), PictureStep::kNone);
  EXPECT_EQ(image.bitCount, GetParam());
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_FALSE(image.HasRows24());
  image.FreeBitmap();
  EXPECT_EQ(image.bitCount, 0);
  EXPECT_EQ(image.width, 0u);
  EXPECT_EQ(image.height, 0u);
}

INSTANTIATE_TEST_SUITE_P(BitCounts, BmpReaderOtherBitCounts, ::testing::Values(1, 8, 16, 32));

TEST_F(BmpReader, TopDownFileKeepsFileOrderWithAPositiveHeight) {
  BmpBuilder bmp = Picture(1, -2);
  bmp.rows = {{{.red = 1}}, {{.red = 2}}};
  ASSERT_EQ(Load(bmp.Build()), PictureStep::kNone);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(image.Row24(0)[2], 1);
  EXPECT_EQ(image.Row24(1)[2], 2);
}

TEST_F(BmpReader, MostNegativeHeightIsTwoToTheThirtyFirstRows) {
  Bytes file = Picture(0, 1).Build();
  PutLe32(file, kHeightOffset, 0x80000000u);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(image.height, 2147483648u);
  ASSERT_TRUE(image.HasRows24());
  EXPECT_EQ(image.MiddleRowIndex(), 1073741824u);
  EXPECT_TRUE(image.Row24(image.MiddleRowIndex()).empty());
}

struct InfoHeaderCase {
  uint32_t infoHeaderSize;
  uint8_t pixelOffset;
};

class BmpReaderInfoHeaders : public BmpFileTest,
                             public ::testing::WithParamInterface<InfoHeaderCase> {};

TEST_P(BmpReaderInfoHeaders, TakeThePixelsFromTheFileHeaderOffset) {
  BmpBuilder bmp = Picture(2, 2, 24, GetParam().infoHeaderSize);
  bmp.rows = {{{1, 2, 3}, {4, 5, 6}}, {{7, 8, 9}, {10, 11, 12}}};
  ASSERT_EQ(Load(bmp.Build()), PictureStep::kNone);
  EXPECT_EQ(image.headerScratch[10], GetParam().pixelOffset);
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{7, 8, 9, 10, 11, 12}));
}

INSTANTIATE_TEST_SUITE_P(V4AndV5, BmpReaderInfoHeaders,
                         ::testing::Values(InfoHeaderCase{108, 122}, InfoHeaderCase{124, 138}));

// The classic file of kTwoByTwo (70 bytes) with another pixel-data offset.
class BmpReaderBadOffsets : public BmpFileTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(BmpReaderBadOffsets, FallBackToTheClassicPlace) {
  Bytes file = kTwoByTwo;
  PutLe32(file, kPixelOffsetOffset, GetParam());
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0x23, 0x33}));
}

INSTANTIATE_TEST_SUITE_P(BeforeTheHeaderEndOrPastTheFile, BmpReaderBadOffsets,
                         ::testing::Values(0u, 14u, 53u, 71u, 0xFFFFFFFFu));

TEST_F(BmpReader, OffsetInsideTheFileIsFollowed) {
  Bytes file = kTwoByTwo;
  file.insert(file.begin() + 54, {0xEE, 0xEE, 0xEE, 0xEE});
  PutLe32(file, kPixelOffsetOffset, 58);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
}

TEST_F(BmpReader, OffsetAtTheEndOfTheFileLeavesEveryRowZero) {
  Bytes file = kTwoByTwo;
  PutLe32(file, kPixelOffsetOffset, 70);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(RowBytes(image.Row24(0)), Bytes(6, 0));
  EXPECT_EQ(RowBytes(image.Row24(1)), Bytes(6, 0));
}

TEST_F(BmpReader, FileCutShortReadsTheMissingBytesAsZero) {
  Bytes file = kTwoByTwo;
  file.resize(54 + 8 + 4);  // row 1 ends after its first pixel and one byte
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0, 0}));
}

struct MissingCase {
  size_t fileSize;  // of kTwoByTwo cut to this many bytes
  uint64_t missing;
};

class BmpReaderMissingBytes : public BmpFileTest,
                              public ::testing::WithParamInterface<MissingCase> {};

// The count covers the pixel data the header describes up to the last row's last pixel.
TEST_P(BmpReaderMissingBytes, CountWhatTheHeaderDescribesAndTheFileLacks) {
  Bytes file = kTwoByTwo;
  file.resize(GetParam().fileSize);
  WriteFileBytes(Path(), file);
  const PictureLoad load = image.LoadBitmapFile(Path());
  ASSERT_TRUE(load.ok());
  EXPECT_EQ(load.missingBytes, GetParam().missing);
}

INSTANTIATE_TEST_SUITE_P(Cuts, BmpReaderMissingBytes,
                         ::testing::Values(MissingCase{70, 0}, MissingCase{68, 0},
                                           MissingCase{66, 2}, MissingCase{61, 7},
                                           MissingCase{54, 14}));

TEST_F(BmpReader, LastRowNeedsNoPadding) {
  Bytes file = kTwoByTwo;
  file.resize(68);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0x23, 0x33}));
}

struct ClaimCase {
  uint32_t rowsPresent;  // of a 1-pixel-wide picture: 4 bytes a row
  uint32_t rowsClaimed;
  PictureStep expected;
};

class BmpReaderClaims : public BmpFileTest, public ::testing::WithParamInterface<ClaimCase> {};

// The limit is twice the pixel bytes present plus 64 KiB.
TEST_P(BmpReaderClaims, RefuseMoreThanTwiceThePresentPixelBytesPlus64KiB) {
  BmpBuilder bmp = Picture(1, static_cast<int32_t>(GetParam().rowsPresent));
  bmp.rows.assign(GetParam().rowsPresent, {{.red = 7}});
  Bytes file = bmp.Build();
  PutLe32(file, kHeightOffset, GetParam().rowsClaimed);
  ASSERT_EQ(Load(file), GetParam().expected);
  if (GetParam().expected == PictureStep::kNone) {
    EXPECT_EQ(image.height, GetParam().rowsClaimed);
    EXPECT_EQ(image.Row24(0)[2], GetParam().rowsPresent > 0 ? 7 : 0);
    EXPECT_EQ(image.Row24(image.MiddleRowIndex())[2], 0);  // past the rows present
  } else {
    EXPECT_EQ(image.bitCount, 0);
    EXPECT_EQ(image.height, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(AtAndPastTheLimit, BmpReaderClaims,
                         ::testing::Values(ClaimCase{0, 16384, PictureStep::kNone},
                                           ClaimCase{0, 16385, PictureStep::kHeader},
                                           ClaimCase{100, 16584, PictureStep::kNone},
                                           ClaimCase{100, 16585, PictureStep::kHeader}));

struct HugeCase {
  uint32_t width;
  uint32_t height;
};

class BmpReaderHugeClaims : public BmpFileTest, public ::testing::WithParamInterface<HugeCase> {};

TEST_P(BmpReaderHugeClaims, AreRefusedWithoutAllocating) {
  Bytes file = Picture(1, 1).Build();  // 58 bytes
  file.resize(60, 0xAB);
  PutLe32(file, kWidthOffset, GetParam().width);
  PutLe32(file, kHeightOffset, GetParam().height);
  WriteFileBytes(Path(), file);
  EXPECT_EXIT(LoadWithLittleMemory(image, Path()), ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Gigabytes, BmpReaderHugeClaims,
                         ::testing::Values(HugeCase{0x7FFFFFFF, 0x7FFFFFFF},
                                           HugeCase{0xFFFFFFFF, 0x7FFFFFFF},
                                           HugeCase{0xFFFFFFFF, 0x80000000},
                                           HugeCase{0x55555556, 0x40000000},
                                           HugeCase{1, 0x7FFFFFFF}, HugeCase{0x7FFFFFFF, 1}));

struct CutHeaderCase {
  size_t length;
  uint16_t bitCount;
  uint32_t width;
  uint32_t height;
};

class BmpReaderCutHeaders : public BmpFileTest,
                            public ::testing::WithParamInterface<CutHeaderCase> {};

// A field counts only when all its bytes are in the file.
TEST_P(BmpReaderCutHeaders, KeepTheEmptyValueOfFieldsNotSupplied) {
  Bytes file = kTwoByTwo;
  file.resize(GetParam().length);
  ASSERT_EQ(Load(file), PictureStep::kNone);
  EXPECT_EQ(image.bitCount, GetParam().bitCount);
  EXPECT_EQ(image.width, GetParam().width);
  EXPECT_EQ(image.height, GetParam().height);
  if (image.HasRows24()) {
    EXPECT_EQ(RowBytes(image.Row24(0)), Bytes(6, 0));
    EXPECT_EQ(RowBytes(image.Row24(1)), Bytes(6, 0));
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, BmpReaderCutHeaders,
                         ::testing::Values(CutHeaderCase{0, 0, 0, 0}, CutHeaderCase{17, 0, 0, 0},
                                           CutHeaderCase{21, 0, 0, 0}, CutHeaderCase{22, 0, 2, 0},
                                           CutHeaderCase{25, 0, 2, 0}, CutHeaderCase{26, 0, 2, 2},
                                           CutHeaderCase{29, 0, 2, 2}, CutHeaderCase{30, 24, 2, 2},
                                           CutHeaderCase{53, 24, 2, 2},
                                           CutHeaderCase{54, 24, 2, 2}));

TEST_F(BmpReader, RewritingRowZeroLeavesTheFileOnDiskAsItWas) {
  ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
  image.Row24(0)[2] = 0x7F;
  EXPECT_EQ(image.Row24(0)[2], 0x7F);
  EXPECT_EQ(ReadFileBytes(Path()), kTwoByTwo);
  image.FreeBitmap();
  ASSERT_EQ(image.LoadBitmapFile(Path()).failedStep, PictureStep::kNone);
  EXPECT_EQ(image.Row24(0)[2], 0x30);
}

TEST_F(BmpReader, RowsOutliveTheDeletedFile) {
  ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
  std::filesystem::remove(Path());
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0x23, 0x33}));
}

// Another process may shorten the file while the conversion uses it: the rows are copies.
TEST_F(BmpReader, RowsStayAsReadWhenTheFileShrinksAfterLoading) {
  ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
  std::filesystem::resize_file(Path(), 0);
  EXPECT_EQ(RowBytes(image.Row24(0)), (Bytes{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{0x12, 0x22, 0x32, 0x13, 0x23, 0x33}));
}

TEST_F(BmpReader, KeepsRowZeroAndTheMiddleRowOfAnyHeight) {
  for (const uint8_t rows : {1, 2, 5, 6}) {
    BmpBuilder bmp = Picture(1, rows);
    for (uint8_t r = 0; r < rows; ++r) bmp.rows.push_back({{.red = uint8_t(r + 1)}});
    ASSERT_EQ(Load(bmp.Build()), PictureStep::kNone);
    EXPECT_EQ(image.Row24(0)[2], 1) << int{rows};
    EXPECT_EQ(image.Row24(image.MiddleRowIndex())[2], rows / 2 + 1) << int{rows};
  }
}

TEST_F(BmpReader, UnopenablePathsSayWhy) {
  ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder.bmp");
  EXPECT_EQ(image.LoadBitmapFile((dir / "pipe.bmp").string()).io.failedStep,
            IoStep::kNotRegularFile);
  EXPECT_EQ(image.LoadBitmapFile((dir / "folder.bmp").string()).io.failedStep,
            IoStep::kIsDirectory);
  const PictureLoad missing = image.LoadBitmapFile((dir / "missing.bmp").string());
  EXPECT_EQ(missing.io.failedStep, IoStep::kOpen);
  EXPECT_EQ(missing.io.systemError, ENOENT);
}

TEST_F(BmpReader, UnopenablePathsLeaveTheImageEmpty) {
  WriteFileBytes(dir / "plain", kTwoByTwo);
  std::filesystem::create_directory(dir / "folder.bmp");
  for (const auto& path : {dir / "missing.bmp", dir / "folder.bmp", dir / "plain" / "x.bmp",
                           std::filesystem::path()}) {
    ASSERT_EQ(Load(kTwoByTwo), PictureStep::kNone);
    EXPECT_EQ(image.LoadBitmapFile(path.string()).failedStep, PictureStep::kOpen) << path;
    EXPECT_EQ(image.bitCount, 0) << path;
    EXPECT_EQ(image.width, 0u) << path;
    EXPECT_EQ(image.height, 0u) << path;
  }
}

// The converter's reading of a 32-bit picture: the rows of the 24-bit picture of the same
// pixels, the fourth byte of each dropped.
class BmpReaderThirtyTwoBit : public BmpFileTest {
 protected:
  PictureLoad LoadAs(const Bytes& bytes, BmpDepths depths) {
    WriteFileBytes(Path(), bytes);
    ReadOnlyFile file;
    EXPECT_TRUE(file.Open(Path()));
    return image.LoadBitmapFile(file, kNoColumnLimit, depths);
  }

  static BmpBuilder ThreeByThree(uint16_t bitCount) {
    BmpBuilder bmp = Picture(3, 3, bitCount);
    bmp.rows = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}},
                {{10, 11, 12}, {13, 14, 15}, {16, 17, 18}},
                {{19, 20, 21}, {22, 23, 24}, {25, 26, 27}}};
    return bmp;
  }
};

TEST_F(BmpReaderThirtyTwoBit, GivesTheRowsOfThe24BitPictureOfTheSamePixels) {
  ASSERT_TRUE(LoadAs(ThreeByThree(24).Build(), BmpDepths::k24).ok());
  const Bytes first = RowBytes(image.Row24(0));
  const Bytes middle = RowBytes(image.Row24(1));
  for (uint8_t fourth : {0, 0x80, 0xFF}) {
    BmpBuilder bmp = ThreeByThree(32);
    bmp.fourthByte = fourth;
    ASSERT_TRUE(LoadAs(bmp.Build(), BmpDepths::k24And32).ok());
    EXPECT_EQ(image.bitCount, 24);
    EXPECT_EQ(RowBytes(image.Row24(0)), first);
    EXPECT_EQ(RowBytes(image.Row24(1)), middle);
  }
}

TEST_F(BmpReaderThirtyTwoBit, StaysRefusedForTheDesktopPrograms) {
  ASSERT_TRUE(LoadAs(ThreeByThree(32).Build(), BmpDepths::k24).ok());
  EXPECT_EQ(image.bitCount, 32);
  EXPECT_FALSE(image.HasRows24());
}

TEST_F(BmpReaderThirtyTwoBit, CutShortCountsItsMissingBytes) {
  Bytes file = ThreeByThree(32).Build();
  file.resize(file.size() - 5);  // the top row's last pixel and one byte of the one before
  const PictureLoad load = LoadAs(file, BmpDepths::k24And32);
  ASSERT_TRUE(load.ok());
  EXPECT_EQ(load.missingBytes, 5u);
  EXPECT_EQ(RowBytes(image.Row24(1)), (Bytes{10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST_F(BmpReaderThirtyTwoBit, WiderThanTheLimitIsRefusedBeforeReadingRows) {
  WriteFileBytes(Path(), ThreeByThree(32).Build());
  ReadOnlyFile file;
  ASSERT_TRUE(file.Open(Path()));
  EXPECT_EQ(image.LoadBitmapFile(file, 2, BmpDepths::k24And32).failedStep, PictureStep::kColumns);
}

}  // namespace
}  // namespace pixorale::test
