#pragma once

#include <cstdint>
#include <vector>

#include "convert/musical_reading.h"
#include "image/picture_summary.h"

namespace pixorale {

// Levels run from 0 (lowest) to kLevelTop (highest).
inline constexpr int32_t kLevelTop = 1024;

// What the musical reading sees in each column of a picture's summary.
struct PictureColumns {
  std::vector<int32_t> feature;  // of the contour, larger meaning higher
  std::vector<int32_t> detail;   // light changes within and between cells, in 1/16 levels
  std::vector<uint32_t> rowTop;  // the summary rows the feature was read from
  std::vector<uint32_t> rowEnd;
  std::vector<int32_t> warmth;  // mean red minus mean blue, -255 to 255
  std::vector<uint8_t> green;   // mean green
  int32_t meanCellDetail = 0;   // of the whole picture, per cell, in 1/16 levels
  uint32_t rows = 0;            // of the summary
};

// Reads the columns of the summary for a feature; empty when the summary is.
PictureColumns ReadColumns(const PictureSummary& summary, ContourFeature feature);

// Spreads values over 0..kLevelTop by the values' own levels: half from where each lies
// between the 10th and the 90th percentile (clipped), half from its rank. So a dark or hazy
// picture still spans the range, and one outlier does not squash the rest.
std::vector<int32_t> SpreadLevels(const std::vector<int32_t>& values);

}  // namespace pixorale
