#include "app/conversion_settings.h"

#include <algorithm>

namespace pixorale {
namespace {

// Offset and size of each stored field, in file order.
struct FieldLayout {
  size_t offset;
  size_t size;
};

// Calls visit(layout, field) for each stored field of the settings, in file order: the one
// list that both directions of the stored form follow.
template <typename Settings, typename Visit>
void ForEachStoredField(Settings& settings, Visit&& visit) {
  visit(FieldLayout{0, 1}, settings.scaleIndex);
  visit(FieldLayout{1, 4}, settings.sustain);
  visit(FieldLayout{5, 4}, settings.tempo);
  visit(FieldLayout{9, 1}, settings.timingMode);
  visit(FieldLayout{10, 2}, settings.resolution);
  visit(FieldLayout{12, 1}, settings.chordMode);
  visit(FieldLayout{13, 1}, settings.rangeLow);
  visit(FieldLayout{14, 1}, settings.rangeHigh);
}

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
  rangeLow = kNoRangeLow;
  rangeHigh = kNoRangeHigh;
}

std::array<uint8_t, kSettingsFileSize> ConversionSettings::ToBytes() const {
  std::array<uint8_t, kSettingsFileSize> bytes{};
  ForEachStoredField(*this,
                     [&bytes](FieldLayout field, auto value) { Store(bytes, field, value); });
  return bytes;
}

void ConversionSettings::FromBytes(std::span<const uint8_t> bytes) {
  ForEachStoredField(*this, [bytes](FieldLayout field, auto& value) { Load(bytes, field, value); });
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
