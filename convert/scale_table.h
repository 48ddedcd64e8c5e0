#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
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

// Scales the command-line converter offers beyond the dialog's nine. `setting.set` cannot
// hold them.
enum class ExtraScale : uint8_t {
  kMajorPentatonic,
  kMinorPentatonic,
  kBlues,
  kWholeTone,
  kChromatic
};

struct ExtraScaleInfo {
  std::string_view optionName;
  uint16_t pitchClasses;  // bit n set: the pitch n semitones above the root is in the scale
};

constexpr uint16_t PitchClasses(std::initializer_list<int> semitones) {
  uint16_t mask = 0;
  for (const int s : semitones) mask = static_cast<uint16_t>(mask | (1u << s));
  return mask;
}

inline constexpr std::array<ExtraScaleInfo, 5> kExtraScales = {{
    {"major-pentatonic", PitchClasses({0, 2, 4, 7, 9})},
    {"minor-pentatonic", PitchClasses({0, 3, 5, 7, 10})},
    {"blues", PitchClasses({0, 3, 5, 6, 7, 10})},
    {"whole-tone", PitchClasses({0, 2, 4, 6, 8, 10})},
    {"chromatic", PitchClasses({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
}};

inline const ExtraScaleInfo& InfoOf(ExtraScale scale) {
  return kExtraScales[static_cast<size_t>(scale)];
}
inline constexpr uint8_t kHarmonicMinorIndex = 2;

}  // namespace pixorale
