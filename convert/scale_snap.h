#pragma once

#include <cstdint>

#include "convert/random_bits.h"
#include "convert/scale_table.h"

namespace pixorale {

// Moves an out-of-scale pitch one semitone (two in C harmonic minor's gap) up or down into
// the scale, the direction drawn from `bits`. Always draws eleven values, one per octave
// pass. An index of kScaleCount or more leaves every pitch unchanged.
uint8_t SnapPitchToScale(uint8_t pitch, uint8_t scaleIndex, RandomBitSource& bits);

// Moves an out-of-scale pitch to the nearest pitch of the scale (rooted on C) in the
// direction drawn from `bits`, or the other way where none lies within 0 to 127 that way.
// Draws eleven values like SnapPitchToScale, so a song uses as many draws for every scale.
uint8_t SnapPitchToExtraScale(uint8_t pitch, ExtraScale scale, RandomBitSource& bits);

// Keeps a snap within low..high, where `from` (the pitch before snapping) lies: a `snapped`
// pitch outside it is replaced by the nearest pitch of `classes` within it, looked for the way
// the snap went first, then the other; where the range holds no pitch of the scale the snapped
// pitch stays.
uint8_t SnapWithin(uint8_t snapped, uint8_t from, uint8_t low, uint8_t high, uint16_t classes);

// Snaps in the scale rooted `key` semitones above C (0 to 11): the pitch is snapped as
// pitch - key in the C scale and key is added back. A pitch below the key is snapped an
// octave up and brought back down; a result outside 0 to 127 is moved an octave back in.
template <typename SnapInC>
uint8_t SnapInKey(uint8_t pitch, uint8_t key, SnapInC&& snapInC) {
  if (key == 0) return snapInC(pitch);
  constexpr int kOctaveSemitones = 12;
  int shifted = int{pitch} - key;
  int octave = 0;
  if (shifted < 0) {
    shifted += kOctaveSemitones;
    octave = -kOctaveSemitones;
  }
  int snapped = int{snapInC(static_cast<uint8_t>(shifted))} + key + octave;
  while (snapped > 127) snapped -= kOctaveSemitones;
  while (snapped < 0) snapped += kOctaveSemitones;
  return static_cast<uint8_t>(snapped);
}

}  // namespace pixorale
