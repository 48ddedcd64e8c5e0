#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pixorale {

// The nine C scales, in scaleIndex order (the order of the settings dialog's list).
struct ScaleInfo {
  std::string_view optionName;  // as the command-line converter spells it
  // The five out-of-scale pitches, as offsets from a snapping pass's base (the C sharp of an
  // octave).
  std::array<uint8_t, 5> outOfScaleOffsets;
};

inline constexpr std::array<ScaleInfo, 9> kScales = {{
    {"c-major", {0, 2, 5, 7, 9}},
    {"c-natural-minor", {0, 3, 5, 8, 10}},
    {"c-harmonic-minor", {0, 3, 5, 8, 9}},
    {"c-melodic-minor", {0, 3, 5, 7, 9}},
    {"c-dorian", {0, 3, 5, 7, 10}},
    {"c-phrygian", {1, 3, 5, 8, 10}},
    {"c-lydian", {0, 2, 4, 7, 9}},
    {"c-mixolydian", {0, 2, 5, 7, 10}},
    {"c-locrian", {1, 3, 6, 8, 10}},
}};

inline constexpr uint8_t kScaleCount = static_cast<uint8_t>(kScales.size());
inline constexpr uint8_t kHarmonicMinorIndex = 2;

}  // namespace pixorale
