#pragma once

#include <cstdint>
#include <optional>

#include "convert/scale_table.h"

namespace pixorale {

// A scale's pitch classes as twelve bits: bit n is set when the pitch n semitones above the
// scale's root is in the scale.
inline constexpr uint16_t kAllPitchClasses = 0x0FFF;

// The pitch classes of the conversion's scale on C: the settings' scale `scaleIndex` (every
// pitch for an index without one, 9 or more) or `extraScale` in its place.
uint16_t ScaleClasses(uint8_t scaleIndex, std::optional<ExtraScale> extraScale);

// The classes of a scale on C rooted `key` semitones above C (0 to 11) instead.
uint16_t RootedClasses(uint16_t classesOnC, uint8_t key);

// True when the class of `pitch` (any whole number, counted from the classes' root) is one.
inline bool HasClass(uint16_t classes, int pitch) {
  const auto shift = static_cast<unsigned>(((pitch % 12) + 12) % 12);
  return ((unsigned{classes} >> shift) & 1u) != 0;
}

}  // namespace pixorale
