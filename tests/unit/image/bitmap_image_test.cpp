#include <gtest/gtest.h>

#include "image/bitmap_image.h"
#include "support/bmp_builder.h"
#include "unit/image/bmp_test_file.h"

namespace pixorale::test {
namespace {

using BitmapImageState = BmpFileTest;

TEST_F(BitmapImageState, FreeOnAnEmptyImageChangesNothing) {
  image.headerScratch.fill(0x5A);
  image.FreeBitmap();
  EXPECT_EQ(image.bitCount, 0);
  EXPECT_EQ(image.width, 0u);
  EXPECT_EQ(image.height, 0u);
  EXPECT_FALSE(image.HasRows24());
  EXPECT_EQ(image.headerScratch[43], 0x5A);
}

TEST_F(BitmapImageState, ClearAndFreeResetTheFieldsButKeepTheHeaderBytes) {
  for (const bool release : {false, true}) {
    ASSERT_EQ(Load(MakeMelodyBmp({60, 62}, {1, 2})), PictureStep::kNone);
    release ? image.FreeBitmap() : image.ClearBitmap();
    EXPECT_EQ(image.bitCount, 0);
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(image.height, 0u);
    EXPECT_FALSE(image.HasRows24());
    EXPECT_EQ(image.headerScratch[0], 'B');
    EXPECT_EQ(image.headerScratch[1], 'M');
  }
}

}  // namespace
}  // namespace pixorale::test
