#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "convert/melody.h"
#include "convert/scale_table.h"

namespace pixorale::converter {

// Option values are plain decimal: no sign, no blanks, no hexadecimal or octal prefixes, so
// "010" is ten and "-1" is refused rather than wrapped around.
std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t min, uint64_t max);

// "c-major" ... "c-locrian" in the order of the settings dialog's list, or the index 0 to 8.
std::optional<uint8_t> ParseScale(std::string_view text);
// The scale names, index order, for the help text.
std::string ScaleNameList();

// "LOW:HIGH", each 0 to 255. A high not above the low means no range, 0:255, as the settings
// dialog stores it.
std::optional<std::pair<uint8_t, uint8_t>> ParseRange(std::string_view text);
// True for a well-formed "LOW:HIGH" whose HIGH is not above LOW, which means no range.
bool IsEmptyRange(std::string_view text);

// "major-pentatonic" ... "chromatic": the scales beyond the settings dialog's nine.
std::optional<ExtraScale> ParseExtraScale(std::string_view text);
std::string ExtraScaleNameList();

// A key by its note name: C, C#/Db ... B; semitones above C.
std::optional<uint8_t> ParseKey(std::string_view text);
// The note name of a key, sharps for the black keys: "C", "C#" ... "B".
std::string_view KeyName(uint8_t key);

// "LOW:HIGH" with 0 <= LOW < HIGH <= 127.
std::optional<PitchMap> ParsePitchMap(std::string_view text);

// A positive number of seconds, decimals allowed: "60", "90.5".
std::optional<double> ParseSeconds(std::string_view text);

// A gain in dB for --gain: a decimal number with an optional sign and fraction ("-6",
// "+2.5"), from kMinGainDb to kMaxGainDb. Below the range nothing would be heard; above it a
// song is clipped beyond use.
inline constexpr double kMinGainDb = -60.0;
inline constexpr double kMaxGainDb = 24.0;
std::optional<double> ParseGainDb(std::string_view text);

}  // namespace pixorale::converter
