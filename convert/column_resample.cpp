#include "convert/column_resample.h"

#include <vector>

namespace pixorale {

ColumnSpan ResampledSpan(uint32_t width, uint32_t columns, uint32_t column) {
  // Both within the width, so within 32 bits.
  const auto first = static_cast<uint32_t>(uint64_t{column} * width / columns);
  const auto end = static_cast<uint32_t>((uint64_t{column} + 1) * width / columns);
  return {first, end > first ? end - 1 : first};
}

std::vector<uint8_t> ResampledRow(std::span<const uint8_t> row, uint32_t width, uint32_t columns) {
  if (width == 0) return {};  // no column to take from
  std::vector<uint8_t> out(3 * size_t{columns});
  for (uint32_t i = 0; i < columns; ++i) {
    const auto [first, last] = ResampledSpan(width, columns, i);
    const uint32_t end = last + 1;
    const uint64_t count = end - first;
    for (size_t byte = 0; byte < 3; ++byte) {
      uint64_t sum = 0;
      for (uint32_t c = first; c < end; ++c) sum += row[3 * size_t{c} + byte];
      out[3 * size_t{i} + byte] = static_cast<uint8_t>((2 * sum + count) / (2 * count));
    }
  }
  return out;
}

void ResampleColumns(BitmapImage& image, uint32_t columns) {
  if (!image.HasRows24() || image.width == 0 || columns == 0) return;
  const uint32_t width = image.width;
  std::vector<uint8_t> first = ResampledRow(image.Row24(0), width, columns);
  // A picture of one row reads its steps from row 0 too.
  std::vector<uint8_t> middle =
      image.MiddleRowIndex() == 0
          ? std::vector<uint8_t>{}
          : ResampledRow(image.Row24(image.MiddleRowIndex()), width, columns);
  image.AdoptRows24(columns, image.height, std::move(first), std::move(middle));
}

}  // namespace pixorale
