#include "image/bitmap_image.h"

#include <cassert>

namespace pixorale {

void BitmapImage::ClearBitmap() {
  bitCount = 0;
  width = 0;
  height = 0;
  firstRowOnTop = false;
}

void BitmapImage::FreeBitmap() {
  std::vector<uint8_t>().swap(firstRow_);
  std::vector<uint8_t>().swap(middleRow_);
  summary.Clear();
  ClearBitmap();
}

void BitmapImage::AdoptRows24(uint32_t pictureWidth, uint32_t pictureHeight,
                              std::vector<uint8_t> firstRow, std::vector<uint8_t> middleRow) {
  FreeBitmap();
  bitCount = 24;
  width = pictureWidth;
  height = pictureHeight;
  firstRow_ = std::move(firstRow);
  if (pictureHeight / 2 != 0) middleRow_ = std::move(middleRow);
}

std::span<uint8_t> BitmapImage::Row24(uint32_t r) {
  assert(HasRows24() && (r == 0 || r == MiddleRowIndex()));
  return r == 0 ? std::span<uint8_t>(firstRow_) : std::span<uint8_t>(middleRow_);
}

std::span<const uint8_t> BitmapImage::Row24(uint32_t r) const {
  assert(HasRows24() && (r == 0 || r == MiddleRowIndex()));
  return r == 0 ? std::span<const uint8_t>(firstRow_) : std::span<const uint8_t>(middleRow_);
}

}  // namespace pixorale
