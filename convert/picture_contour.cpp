#include "convert/picture_contour.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pixorale {
namespace {

// The share of a column's detail that lies above its skyline: the skyline is where the
// column's detail begins in earnest, counted from the top, so a few clouds or stars above a
// ridge do not lift it.
constexpr int64_t kSkylineShareNumerator = 1;
constexpr int64_t kSkylineShareDenominator = 4;
// Rows of the summary on either side of the skyline that a note is said to come from.
constexpr uint32_t kSkylineBand = 2;

struct CellLight {
  int32_t mean = 0;    // in 1/16 levels
  int32_t spread = 0;  // standard deviation, in 1/16 levels
};

CellLight LightOf(const SummaryCell& cell) {
  if (cell.pixels == 0) return {};
  const auto mean = static_cast<int64_t>(cell.luma * 16 / cell.pixels);
  const auto squares = static_cast<int64_t>(cell.lumaSquares * 256 / cell.pixels);
  const int64_t variance = std::max<int64_t>(0, squares - mean * mean);
  return {static_cast<int32_t>(mean),
          static_cast<int32_t>(std::sqrt(static_cast<double>(variance)))};
}

}  // namespace

PictureColumns ReadColumns(const PictureSummary& summary, ContourFeature feature) {
  PictureColumns read;
  if (summary.empty()) return read;
  const uint32_t columns = summary.columns();
  const uint32_t rows = summary.rows();
  std::vector<CellLight> light(size_t{columns} * rows);
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < columns; ++c)
      light[size_t{r} * columns + c] = LightOf(summary.Cell(c, r));
  }
  const auto at = [&](uint32_t c, uint32_t r) -> const CellLight& {
    return light[size_t{r} * columns + c];
  };
  // A cell's detail: how its light varies within it and how it differs from the cells above
  // and to its left.
  std::vector<int32_t> cellDetail(light.size());
  int64_t allDetail = 0;
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      int32_t detail = at(c, r).spread;
      if (r > 0) detail += std::abs(at(c, r).mean - at(c, r - 1).mean);
      if (c > 0) detail += std::abs(at(c, r).mean - at(c - 1, r).mean);
      cellDetail[size_t{r} * columns + c] = detail;
      allDetail += detail;
    }
  }
  read.meanCellDetail = static_cast<int32_t>(allDetail / static_cast<int64_t>(light.size()));
  read.rows = rows;

  for (uint32_t c = 0; c < columns; ++c) {
    int64_t total = 0;
    int64_t lightSum = 0;
    uint64_t pixels = 0, red = 0, green = 0, blue = 0;
    for (uint32_t r = 0; r < rows; ++r) {
      total += cellDetail[size_t{r} * columns + c];
      lightSum += at(c, r).mean;
      const SummaryCell& cell = summary.Cell(c, r);
      pixels += cell.pixels;
      red += cell.red;
      green += cell.green;
      blue += cell.blue;
    }
    read.detail.push_back(static_cast<int32_t>(total));
    const uint64_t counted = std::max<uint64_t>(pixels, 1);
    read.warmth.push_back(static_cast<int32_t>(static_cast<int64_t>(red / counted) -
                                               static_cast<int64_t>(blue / counted)));
    read.green.push_back(static_cast<uint8_t>(green / counted));

    uint32_t top = 0;
    uint32_t end = rows;
    int32_t value = 0;
    switch (feature) {
      case ContourFeature::kLight:
        value = static_cast<int32_t>(lightSum / rows);
        break;
      case ContourFeature::kDetail:
        value = static_cast<int32_t>(total);
        break;
      case ContourFeature::kSkyline: {
        // The height, in 1/16 rows from the bottom, above which a quarter of the detail lies.
        int64_t position = int64_t{rows} * 8;  // a column without detail: its middle
        if (total > 0) {
          const int64_t threshold = total * kSkylineShareNumerator / kSkylineShareDenominator;
          int64_t above = 0;
          for (uint32_t r = 0; r < rows; ++r) {
            const int64_t detail = cellDetail[size_t{r} * columns + c];
            if (above + detail >= threshold && detail > 0) {
              position = int64_t{r} * 16 + (threshold - above) * 16 / detail;
              top = r > kSkylineBand ? r - kSkylineBand : 0;
              end = std::min(rows, r + kSkylineBand + 1);
              break;
            }
            above += detail;
          }
        }
        value = static_cast<int32_t>(int64_t{rows} * 16 - position);
        break;
      }
    }
    read.feature.push_back(value);
    read.rowTop.push_back(top);
    read.rowEnd.push_back(end);
  }
  return read;
}

std::vector<int32_t> SpreadLevels(const std::vector<int32_t>& values) {
  const size_t count = values.size();
  std::vector<int32_t> levels(count, kLevelTop / 2);
  if (count < 2) return levels;
  std::vector<int32_t> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  const int64_t low = sorted[count / 10];
  const int64_t high = sorted[(count - 1) - (count - 1) / 10];
  for (size_t i = 0; i < count; ++i) {
    const int64_t value = values[i];
    const int64_t linear =
        high > low ? std::clamp<int64_t>((value - low) * kLevelTop / (high - low), 0, kLevelTop)
                   : kLevelTop / 2;
    // Equal values share the middle of their ranks.
    const auto below = std::lower_bound(sorted.begin(), sorted.end(), values[i]) - sorted.begin();
    const auto upTo = std::upper_bound(sorted.begin(), sorted.end(), values[i]) - sorted.begin();
    const int64_t rank = (below + upTo - 1) * kLevelTop / (2 * static_cast<int64_t>(count - 1));
    levels[i] = static_cast<int32_t>((linear + rank) / 2);
  }
  return levels;
}

}  // namespace pixorale
