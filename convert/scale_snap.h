#pragma once

#include <cstdint>

#include "convert/random_bits.h"

namespace pixorale {

inline constexpr uint8_t kScaleCount = 9;
inline constexpr uint8_t kHarmonicMinorIndex = 2;
inline constexpr uint8_t kLocrianIndex = 8;

// Moves an out-of-scale pitch one semitone (two in C harmonic minor's gap) up or down into
// the scale, the direction drawn from `bits`. Always draws eleven values, one per octave
// pass. An index of kScaleCount or more leaves every pitch unchanged.
uint8_t SnapPitchToScale(uint8_t pitch, uint8_t scaleIndex, RandomBitSource& bits);

}  // namespace pixorale
