#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pixorale {

// The largest grid a summary keeps: enough columns for a melody of a few hundred notes and
// enough rows to tell where in a column its skyline or its detail lies.
inline constexpr uint32_t kSummaryColumns = 256;
inline constexpr uint32_t kSummaryRows = 64;

// The pixels of one cell of the grid, added up.
struct SummaryCell {
  uint64_t pixels = 0;
  uint64_t luma = 0;         // Y = (77 R + 150 G + 29 B) / 256 of each pixel
  uint64_t lumaSquares = 0;  // Y * Y, for how much the light varies within the cell
  uint64_t red = 0;
  uint64_t green = 0;
  uint64_t blue = 0;
};

// Where a byte of a pixel lies in the rows a decoder hands over.
struct PixelLayout {
  uint32_t bytesPerPixel = 3;
  uint32_t red = 2;
  uint32_t green = 1;
  uint32_t blue = 0;
};
inline constexpr PixelLayout kBlueGreenRed{3, 2, 1, 0};
inline constexpr PixelLayout kRedGreenBlue{3, 0, 1, 2};

// A coarse picture of the whole picture, made while it is decoded: a grid of at most
// kSummaryColumns x kSummaryRows cells, each the sums of the pixels that fall in it. Rows are
// numbered from the top. The sums do not depend on the order in which pixels arrive, so an
// interlaced PNG adds each pass as it comes, and memory stays the same however large the
// picture is.
class PictureSummary {
 public:
  // Starts an empty grid for a picture of `readWidth` x `readHeight` pixels as decoded, which
  // stands for `pictureWidth` x `pictureHeight` pixels (more when a decoder read it at a
  // reduced size).
  void Begin(uint32_t readWidth, uint32_t readHeight, uint32_t pictureWidth,
             uint32_t pictureHeight);
  // Adds the pixels firstColumn, firstColumn + columnStep ... of the decoded row `rowFromTop`,
  // which `bytes` holds whole (an interlaced pass fills only some of its pixels).
  void AddPixels(uint32_t rowFromTop, std::span<const uint8_t> bytes, PixelLayout layout,
                 uint32_t firstColumn, uint32_t columnStep);
  // Adds every pixel of a decoded row.
  void AddRow(uint32_t rowFromTop, std::span<const uint8_t> bytes, PixelLayout layout) {
    AddPixels(rowFromTop, bytes, layout, 0, 1);
  }
  void Clear() { *this = PictureSummary(); }

  bool empty() const { return columns_ == 0 || rows_ == 0; }
  uint32_t columns() const { return columns_; }
  uint32_t rows() const { return rows_; }
  // The picture's own size, in the pixels of the file.
  uint32_t pictureWidth() const { return pictureWidth_; }
  uint32_t pictureHeight() const { return pictureHeight_; }
  // Cell (column, row), row 0 at the top.
  const SummaryCell& Cell(uint32_t column, uint32_t row) const {
    return cells_[size_t{row} * columns_ + column];
  }

 private:
  uint32_t readWidth_ = 0;
  uint32_t readHeight_ = 0;
  uint32_t pictureWidth_ = 0;
  uint32_t pictureHeight_ = 0;
  uint32_t columns_ = 0;
  uint32_t rows_ = 0;
  std::vector<uint32_t> cellOfColumn_;  // of each decoded column
  std::vector<SummaryCell> cells_;
};

}  // namespace pixorale
