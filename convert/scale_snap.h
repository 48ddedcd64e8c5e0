#pragma once

#include <cstdint>

#include "convert/random_bits.h"
#include "convert/scale_table.h"

namespace pixorale {

// Moves an out-of-scale pitch one semitone (two in C harmonic minor's gap) up or down into
// the scale, the direction drawn from `bits`. Always draws eleven values, one per octave
// pass. An index of kScaleCount or more leaves every pitch unchanged.
uint8_t SnapPitchToScale(uint8_t pitch, uint8_t scaleIndex, RandomBitSource& bits);

}  // namespace pixorale
