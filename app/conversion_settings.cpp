#include "app/conversion_settings.h"

#include <algorithm>

namespace pixorale {
namespace {

// Offset and size of each stored field, in file order.
struct FieldLayout {
  size_t offset;
  size_t size;
};
constexpr FieldLayout kScaleIndex{0, 1};
constexpr FieldLayout kSustain{1, 4};
constexpr FieldLayout kTempo{5, 4};
constexpr FieldLayout kTimingMode{9, 1};
constexpr FieldLayout kResolution{10, 2};
constexpr FieldLayout kChordMode{12, 1};
constexpr FieldLayout kRangeLow{13, 1};
constexpr FieldLayout kRangeHigh{14, 1};

template <typename T>
void Store(std::array<uint8_t, kSettingsFileSize>& bytes, FieldLayout field, T value) {
  for (size_t i = 0; i < field.size; ++i) {
    bytes[field.offset + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
  }
}

// Takes as many low-order bytes as the buffer holds for this field and keeps the rest of
// the previous value.
template <typename T>
void Load(std::span<const uint8_t> bytes, FieldLayout field, T& value) {
  uint64_t result = value;
  for (size_t i = 0; i < field.size && field.offset + i < bytes.size(); ++i) {
    result &= ~(uint64_t{0xFF} << (8 * i));
    result |= uint64_t{bytes[field.offset + i]} << (8 * i);
  }
  value = static_cast<T>(result);
}

}  // namespace

void ConversionSettings::InstallDefaults() {
  scaleIndex = 0;
  sustain = 16;
  tempo = kDefaultTempo;
  timingMode = 0;
  resolution = 768;
  chordMode = 0;
  rangeLow = 0;
  rangeHigh = 255;
}

std::array<uint8_t, kSettingsFileSize> ConversionSettings::ToBytes() const {
  std::array<uint8_t, kSettingsFileSize> bytes{};
  Store(bytes, kScaleIndex, scaleIndex);
  Store(bytes, kSustain, sustain);
  Store(bytes, kTempo, tempo);
  Store(bytes, kTimingMode, timingMode);
  Store(bytes, kResolution, resolution);
  Store(bytes, kChordMode, chordMode);
  Store(bytes, kRangeLow, rangeLow);
  Store(bytes, kRangeHigh, rangeHigh);
  return bytes;
}

void ConversionSettings::FromBytes(std::span<const uint8_t> bytes) {
  Load(bytes, kScaleIndex, scaleIndex);
  Load(bytes, kSustain, sustain);
  Load(bytes, kTempo, tempo);
  Load(bytes, kTimingMode, timingMode);
  Load(bytes, kResolution, resolution);
  Load(bytes, kChordMode, chordMode);
  Load(bytes, kRangeLow, rangeLow);
  Load(bytes, kRangeHigh, rangeHigh);
}

ConversionParameters ConversionSettings::ToParameters() const {
  ConversionParameters params;
  params.scaleIndex = scaleIndex;
  params.timingMode = timingMode;
  params.resolution = resolution;
  params.sustainQuarters = static_cast<double>(sustain) * 0.125;
  params.tempo = tempo;
  params.chordMode = chordMode;
  params.rangeLow = rangeLow;
  params.rangeHigh = rangeHigh;
  return params;
}

}  // namespace pixorale
