#include "app/settings_form.h"

#include <limits>
#include <string>

#include "convert/melody.h"
#include "convert/scale_table.h"

namespace pixorale {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The number a control's text gives, as the dialog reads it.
int32_t ReadNumber(std::string_view text) {
  return ParseLong(text.substr(0, kMaxControlTextLength));
}

}  // namespace

int32_t ParseLong(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing once it is past every 32-bit value.
  constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);  // -2^31 at most in magnitude, so it fits
}

SettingsForm FormFromSettings(const ConversionSettings& settings) {
  SettingsForm form;
  form.scaleSelection = settings.scaleIndex < kScaleCount ? settings.scaleIndex : -1;
  form.sustainText = std::to_string(settings.sustain);
  form.tempoText = std::to_string(settings.tempo);
  form.resolutionText = std::to_string(settings.resolution);
  form.beatUnits = settings.timingMode == 0;
  form.singleNotes = settings.chordMode == 0;
  form.rangeGiven = !(settings.rangeLow == kNoRangeLow && settings.rangeHigh == kNoRangeHigh);
  if (form.rangeGiven) {
    form.rangeLowText = std::to_string(settings.rangeLow);
    form.rangeHighText = std::to_string(settings.rangeHigh);
  }
  return form;
}

StoreResult StoreForm(const SettingsForm& form, ConversionSettings& settings) {
  // Every number is cut to its field's width (two's complement), as the stored form keeps it.
  const auto tempo = static_cast<uint32_t>(ReadNumber(form.tempoText));
  if (tempo == 0) return StoreResult::kTempoNotPositive;

  settings.scaleIndex = static_cast<uint8_t>(form.scaleSelection);  // none (-1) becomes 255
  settings.sustain = static_cast<uint32_t>(ReadNumber(form.sustainText));
  settings.tempo = tempo;
  settings.resolution = static_cast<uint16_t>(ReadNumber(form.resolutionText));
  settings.timingMode = form.beatUnits ? 0 : 1;
  settings.chordMode = form.singleNotes ? 0 : 1;

  uint8_t low = kNoRangeLow;
  uint8_t high = kNoRangeHigh;
  if (form.rangeGiven) {
    low = static_cast<uint8_t>(ReadNumber(form.rangeLowText));
    high = static_cast<uint8_t>(ReadNumber(form.rangeHighText));
    if (high <= low) {
      low = kNoRangeLow;
      high = kNoRangeHigh;
    }
  }
  settings.rangeLow = low;
  settings.rangeHigh = high;
  return StoreResult::kStored;
}

}  // namespace pixorale
