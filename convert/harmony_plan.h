#pragma once

#include <cstdint>
#include <vector>

#include "convert/key_chords.h"
#include "convert/metre_plan.h"

namespace pixorale {

// One chord of the progression, in sixteenths; `chord` indexes the key's chords.
struct ChordSpan {
  uint32_t onset = 0;
  uint32_t length = 0;
  size_t chord = 0;
};

// A chord for each bar, or each half of a busy 4/4 bar. A phrase starts on the tonic and
// closes on it, every second phrase but the last on the dominant (a half close), each close
// prepared by the chord a fifth above it; the chords between hold the pitch the contour asks
// for at their start (`targets`, one per sixteenth), the warm parts of the picture choosing
// major chords and the cool ones minor.
std::vector<ChordSpan> PlanHarmony(const Metre& metre, const std::vector<Slot>& slots,
                                   const std::vector<int>& targets,
                                   const std::vector<int32_t>& warmth,
                                   const std::vector<KeyChord>& chords);

// The index of the key's chord on `degree`, or of the tonic's when there is none.
size_t ChordOnDegree(const std::vector<KeyChord>& chords, uint8_t degree);

}  // namespace pixorale
