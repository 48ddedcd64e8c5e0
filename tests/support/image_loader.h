#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "image/bitmap_image.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pixorale::test {

// Loads BMP bytes through a temporary file, as the program would.
inline void LoadImageBytes(BitmapImage& image, const std::vector<uint8_t>& bytes) {
  TempDir dir;
  WriteFileBytes(dir / "picture.bmp", bytes);
  ASSERT_EQ(image.LoadBitmapFile((dir / "picture.bmp").string()).failedStep, PictureStep::kNone);
}

}  // namespace pixorale::test
