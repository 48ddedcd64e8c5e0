#include "image/bitmap_image.h"

#include <cassert>

namespace pixorale {
namespace {

std::span<uint8_t> RowOf(uint8_t* pixels, uint64_t stride, uint32_t width, uint32_t r) {
  const uint64_t rowBytes = uint64_t{width} * 3;
  // A picture of width 0 has rows of no bytes and no pixel storage at all.
  if (rowBytes == 0) return {};
  return {pixels + r * stride, static_cast<size_t>(rowBytes)};
}

}  // namespace

void BitmapImage::ClearBitmap() {
  bitCount = 0;
  width = 0;
  height = 0;
  pixels_ = nullptr;
  rowStride_ = 0;
}

void BitmapImage::FreeBitmap() {
  mapping_ = MappedFile();
  std::vector<uint8_t>().swap(ownedPixels_);
  ClearBitmap();
}

std::span<uint8_t> BitmapImage::Row24(uint32_t r) {
  assert(HasRows24() && r < height);
  return RowOf(pixels_, rowStride_, width, r);
}

std::span<const uint8_t> BitmapImage::Row24(uint32_t r) const {
  assert(HasRows24() && r < height);
  return RowOf(pixels_, rowStride_, width, r);
}

}  // namespace pixorale
