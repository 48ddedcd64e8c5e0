#include "image/picture_summary.h"

#include <algorithm>

namespace pixorale {

void PictureSummary::Begin(uint32_t readWidth, uint32_t readHeight, uint32_t pictureWidth,
                           uint32_t pictureHeight) {
  Clear();
  readWidth_ = readWidth;
  readHeight_ = readHeight;
  pictureWidth_ = pictureWidth;
  pictureHeight_ = pictureHeight;
  columns_ = std::min(readWidth, kSummaryColumns);
  rows_ = std::min(readHeight, kSummaryRows);
  if (empty()) return;
  cellOfColumn_.resize(readWidth);
  for (uint32_t x = 0; x < readWidth; ++x) {
    cellOfColumn_[x] = static_cast<uint32_t>(uint64_t{x} * columns_ / readWidth);
  }
  cells_.assign(size_t{columns_} * rows_, SummaryCell{});
}

void PictureSummary::AddPixels(uint32_t rowFromTop, std::span<const uint8_t> bytes,
                               PixelLayout layout, uint32_t firstColumn, uint32_t columnStep) {
  if (empty() || rowFromTop >= readHeight_) return;
  const auto cellRow = static_cast<uint32_t>(uint64_t{rowFromTop} * rows_ / readHeight_);
  SummaryCell* row = &cells_[size_t{cellRow} * columns_];
  const size_t end = std::min<size_t>(readWidth_, bytes.size() / layout.bytesPerPixel);
  for (size_t x = firstColumn; x < end; x += columnStep) {
    const uint8_t* pixel = bytes.data() + x * layout.bytesPerPixel;
    const uint32_t red = pixel[layout.red];
    const uint32_t green = pixel[layout.green];
    const uint32_t blue = pixel[layout.blue];
    const uint32_t luma = (77 * red + 150 * green + 29 * blue) >> 8;
    SummaryCell& cell = row[cellOfColumn_[x]];
    ++cell.pixels;
    cell.luma += luma;
    cell.lumaSquares += luma * luma;
    cell.red += red;
    cell.green += green;
    cell.blue += blue;
  }
}

}  // namespace pixorale
