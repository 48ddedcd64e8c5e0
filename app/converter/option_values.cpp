#include "app/converter/option_values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "convert/melody.h"
#include "convert/scale_table.h"

namespace pixorale::converter {

std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t min, uint64_t max) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
  if (error != std::errc() || stop != end || value < min || value > max) return std::nullopt;
  return value;
}

std::optional<uint8_t> ParseScale(std::string_view text) {
  for (size_t i = 0; i < kScales.size(); ++i) {
    if (text == kScales[i].optionName) return static_cast<uint8_t>(i);
  }
  const auto index = ParseDecimal(text, 0, kScales.size() - 1);
  if (!index) return std::nullopt;
  return static_cast<uint8_t>(*index);
}

std::string ScaleNameList() {
  std::string list;
  for (const ScaleInfo& scale : kScales) {
    if (!list.empty()) list += ", ";
    list += scale.optionName;
  }
  return list;
}

namespace {

std::optional<std::pair<uint8_t, uint8_t>> ParseBounds(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto low = ParseDecimal(text.substr(0, colon), 0, 255);
  const auto high = ParseDecimal(text.substr(colon + 1), 0, 255);
  if (!low || !high) return std::nullopt;
  return std::pair<uint8_t, uint8_t>{static_cast<uint8_t>(*low), static_cast<uint8_t>(*high)};
}

// An optional minus, digits and at most one point, with a digit somewhere: no exponent,
// hexadecimal, infinity or NaN. The program keeps the C locale, whose point is '.'.
std::optional<double> ParseFixedDecimal(std::string_view text) {
  std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
  const size_t point = digits.find('.');
  if (digits.find_first_not_of("0123456789.") != std::string_view::npos ||
      digits.find_first_of("0123456789") == std::string_view::npos ||
      (point != std::string_view::npos && digits.find('.', point + 1) != std::string_view::npos)) {
    return std::nullopt;
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

}  // namespace

std::optional<std::pair<uint8_t, uint8_t>> ParseRange(std::string_view text) {
  const auto bounds = ParseBounds(text);
  if (bounds && !RangeApplies(bounds->first, bounds->second)) {
    return std::pair<uint8_t, uint8_t>{kNoRangeLow, kNoRangeHigh};
  }
  return bounds;
}

bool IsEmptyRange(std::string_view text) {
  const auto bounds = ParseBounds(text);
  return bounds && bounds->second <= bounds->first;
}

namespace {

constexpr std::array<std::string_view, 12> kSharpNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                          "F#", "G",  "G#", "A",  "A#", "B"};
constexpr std::array<std::string_view, 12> kFlatNames = {"C",  "Db", "D",  "Eb", "E",  "F",
                                                         "Gb", "G",  "Ab", "A",  "Bb", "B"};

}  // namespace

std::optional<ExtraScale> ParseExtraScale(std::string_view text) {
  for (size_t i = 0; i < kExtraScales.size(); ++i) {
    if (text == kExtraScales[i].optionName) return static_cast<ExtraScale>(i);
  }
  return std::nullopt;
}

std::string ExtraScaleNameList() {
  std::string list;
  for (const ExtraScaleInfo& scale : kExtraScales) {
    if (!list.empty()) list += ", ";
    list += scale.optionName;
  }
  return list;
}

std::optional<uint8_t> ParseKey(std::string_view text) {
  for (size_t key = 0; key < kSharpNames.size(); ++key) {
    if (text == kSharpNames[key] || text == kFlatNames[key]) return static_cast<uint8_t>(key);
  }
  return std::nullopt;
}

std::string_view KeyName(uint8_t key) {
  return kSharpNames[key % kSharpNames.size()];
}

std::optional<PitchMap> ParsePitchMap(std::string_view text) {
  const auto bounds = ParseBounds(text);
  if (!bounds || bounds->first >= bounds->second || bounds->second > 127) return std::nullopt;
  return PitchMap{bounds->first, bounds->second};
}

std::optional<double> ParseSeconds(std::string_view text) {
  // Plain decimals only: no sign, exponent, infinity or NaN; so many digits that the number
  // is beyond a double's range would read as infinity, which is no number of seconds either.
  if (text.starts_with('-')) return std::nullopt;
  const std::optional<double> seconds = ParseFixedDecimal(text);
  if (!seconds || !(*seconds > 0.0) || !std::isfinite(*seconds)) return std::nullopt;
  return seconds;
}

std::optional<double> ParseGainDb(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  const std::optional<double> value = ParseFixedDecimal(text);
  if (!value || !(*value >= kMinGainDb && *value <= kMaxGainDb)) return std::nullopt;
  return value;
}

}  // namespace pixorale::converter
