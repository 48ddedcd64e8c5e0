#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap_image.h"
#include "support/temp_dir.h"

namespace pixorale::test {

// Writes BMP bytes to a fresh file and loads them into `image`.
class BmpFileTest : public ::testing::Test {
 protected:
  PictureStep Load(const std::vector<uint8_t>& bytes) {
    WriteFileBytes(Path(), bytes);
    return image.LoadBitmapFile(Path()).failedStep;
  }
  std::string Path() const { return (dir / "picture.bmp").string(); }

  TempDir dir;
  BitmapImage image;
};

inline void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline constexpr size_t kWidthOffset = 18;
inline constexpr size_t kHeightOffset = 22;
inline constexpr size_t kPixelOffsetOffset = 10;

}  // namespace pixorale::test
