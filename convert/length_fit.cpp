#include "convert/length_fit.h"

#include <algorithm>
#include <cmath>

#include "convert/column_resample.h"
#include "midi/song_time.h"

namespace pixorale {
namespace {

double TicksToSeconds(uint64_t ticks, const ConversionParameters& params, uint16_t division) {
  if (IsMillisecondTiming(params.timingMode)) {
    return static_cast<double>(ticks) / kMillisecondTicksPerSecond;
  }
  if (division == 0) return 0.0;
  return BeatTicksToSeconds(static_cast<double>(ticks), division,
                            QuarterMicroseconds(params.tempo));
}

}  // namespace

double SongSecondsAt(const BitmapImage& image, const ConversionParameters& params,
                     uint32_t columns) {
  if (!image.HasRows24() || image.width == 0 || columns == 0) return 0.0;
  const uint16_t division = SongDivision(params.resolution);
  const uint32_t stepUnit = division >> 3;
  const std::span<const uint8_t> middle = image.Row24(image.MiddleRowIndex());
  const std::vector<uint8_t> steps = columns == image.width
                                         ? std::vector<uint8_t>(middle.begin(), middle.end())
                                         : ResampledRow(middle, image.width, columns);
  uint64_t ticks = SustainTicks(division, params.sustainQuarters);
  for (uint32_t column = 1; column < columns; ++column) {
    ticks += ColumnStepTicks(steps[3 * size_t{column}], stepUnit);
  }
  return TicksToSeconds(ticks, params, division);
}

uint32_t ColumnsWithin(const BitmapImage& image, const ConversionParameters& params,
                       double maxSeconds) {
  const uint32_t width = image.width;
  const double whole = SongSecondsAt(image, params, width);
  if (whole <= maxSeconds) return width;
  const double fitting = std::floor(static_cast<double>(width) * maxSeconds / whole);
  auto columns = static_cast<uint32_t>(std::clamp(fitting, 1.0, static_cast<double>(width)));
  while (columns > 1 && SongSecondsAt(image, params, columns) > maxSeconds) --columns;
  return columns;
}

}  // namespace pixorale
