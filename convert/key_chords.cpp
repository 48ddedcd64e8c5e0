#include "convert/key_chords.h"

#include <bit>

namespace pixorale {
namespace {

constexpr uint16_t kMajorClasses = PitchClasses({0, 2, 4, 5, 7, 9, 11});
constexpr uint16_t kMinorClasses = PitchClasses({0, 2, 3, 5, 7, 8, 10});
constexpr int kSemitonesOfFifth = 7;

}  // namespace

std::vector<uint8_t> ScalePitches(uint16_t classes, uint8_t key, uint8_t low, uint8_t high) {
  std::vector<uint8_t> pitches;
  for (int pitch = low; pitch <= high && pitch <= 127; ++pitch) {
    if (HasClass(classes, pitch - key)) pitches.push_back(static_cast<uint8_t>(pitch));
  }
  return pitches;
}

std::vector<KeyChord> KeyChords(uint16_t classes, uint8_t key) {
  uint16_t parent = classes;
  if (std::popcount(classes) != 7) {
    parent = HasClass(classes, 3) && !HasClass(classes, 4) ? kMinorClasses : kMajorClasses;
  }
  std::vector<int> steps;  // the parent's pitch classes above the root, in order
  for (int pc = 0; pc < 12; ++pc) {
    if (HasClass(parent, pc)) steps.push_back(pc);
  }
  std::vector<KeyChord> chords;
  for (size_t degree = 0; degree < 6; ++degree) {
    const int root = steps[degree];
    const int third = steps[(degree + 2) % 7] + (degree + 2 >= 7 ? 12 : 0);
    const int fifth = steps[(degree + 4) % 7] + (degree + 4 >= 7 ? 12 : 0);
    // The tonic's triad stays whatever it is: a progression starts and ends on it.
    if (degree != 0 && fifth - root != kSemitonesOfFifth) continue;
    KeyChord chord;
    chord.degree = static_cast<uint8_t>(degree);
    chord.root = static_cast<uint8_t>((root + key) % 12);
    chord.classes = {chord.root, static_cast<uint8_t>((third + key) % 12),
                     static_cast<uint8_t>((fifth + key) % 12)};
    chord.minor = third - root == 3;
    chords.push_back(chord);
  }
  return chords;
}

}  // namespace pixorale
