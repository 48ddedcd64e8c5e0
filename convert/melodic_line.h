#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "convert/key_chords.h"
#include "convert/random_bits.h"

namespace pixorale {

// What the line is asked to do at one note.
struct LineStep {
  int target = 0;                   // the contour's pitch, as an index into the scale's pitches
  const KeyChord* chord = nullptr;  // the chord under a strong beat: the note is one of its
  int closingClass = -1;            // the pitch class a phrase closes on, or -1
  bool mayLengthen = false;         // may join the note before as one longer note
  uint32_t placeInPhrase = 0;       // the note's number within its phrase
};

struct LineNote {
  int index = 0;               // into the scale's pitches
  bool joinsPrevious = false;  // no note of its own: the note before lasts longer
};

// Follows the targets through the scale's pitches. Without melodic sense each note takes
// its target. With it the line moves by steps toward the target, a leap of more than four
// scale steps is cut to four and followed by a step back, and where the target stays the
// note becomes a neighbour tone, a third, or (where allowed) part of a longer note, never a
// repeat. Either way a chord's note or a phrase's closing tone nearest the line is taken
// where one is asked for.
std::vector<LineNote> WalkLine(std::span<const LineStep> steps,
                               std::span<const uint8_t> scalePitches, bool melodic,
                               RandomBitSource& bits);

}  // namespace pixorale
