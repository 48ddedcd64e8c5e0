#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "convert/scale_classes.h"
#include "convert/scale_table.h"

namespace pixorale {

// Every pitch of the scale rooted `key` semitones above C, from low to high inclusive.
std::vector<uint8_t> ScalePitches(uint16_t classes, uint8_t key, uint8_t low, uint8_t high);

// A triad of the key: its degree (0 for the tonic), root and pitch classes, key applied.
struct KeyChord {
  uint8_t degree = 0;
  uint8_t root = 0;  // pitch class
  std::array<uint8_t, 3> classes{};
  bool minor = false;

  bool Holds(int pitch) const {
    const int pitchClass = pitch % 12;
    return classes[0] == pitchClass || classes[1] == pitchClass || classes[2] == pitchClass;
  }
};

// The triads on degrees 1 to 6 of the scale's seven-note parent: the scale itself when it
// has seven notes, else the major scale (or the natural minor one when the scale has a minor
// third and no major third). Diminished triads are left out, but for the tonic's. The tonic's triad
// comes first, the dominant's is the one of degree 4.
std::vector<KeyChord> KeyChords(uint16_t classes, uint8_t key);

}  // namespace pixorale
