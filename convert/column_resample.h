#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/bitmap_image.h"

namespace pixorale {

// Largest number of columns a picture can be resampled to.
inline constexpr uint32_t kMaxResampledColumns = 1'000'000;

// The columns of a picture `width` wide that column `column` of `columns` takes, first to
// last: floor(i * W / N) to floor((i + 1) * W / N) - 1, or the first alone where that is
// empty.
struct ColumnSpan {
  uint32_t first = 0;
  uint32_t last = 0;
};
ColumnSpan ResampledSpan(uint32_t width, uint32_t columns, uint32_t column);

// Resamples the two rows of a 24-bit picture to `columns` columns (1 or more). Column i takes,
// for each byte of the pixel, the mean of the source columns from floor(i * W / N) to
// floor((i + 1) * W / N) - 1, rounded half up; where that span is empty (more columns than
// the picture has) it takes column floor(i * W / N) as it is. A picture with no rows or no
// columns is left alone: it has nothing to resample.
void ResampleColumns(BitmapImage& image, uint32_t columns);

// One row of `width` pixels resampled to `columns` the same way; empty when `width` is 0.
std::vector<uint8_t> ResampledRow(std::span<const uint8_t> row, uint32_t width, uint32_t columns);

}  // namespace pixorale
