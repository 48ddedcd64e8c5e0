#include "convert/scale_snap.h"

#include <algorithm>
#include <array>

namespace pixorale {
namespace {

constexpr int kPassCount = 11;
constexpr unsigned kOctave = 12;
constexpr uint8_t kHighestPitch = 127;

// The five out-of-scale pitches of each scale, as offsets from a pass base (the C sharp of
// an octave).
constexpr std::array<std::array<uint8_t, 5>, kScaleCount> kOutOfScaleOffsets = {{
    {0, 2, 5, 7, 9},   // C major
    {0, 3, 5, 8, 10},  // C natural minor
    {0, 3, 5, 8, 9},   // C harmonic minor
    {0, 3, 5, 7, 9},   // C melodic minor
    {0, 3, 5, 7, 10},  // C Dorian
    {1, 3, 5, 8, 10},  // C Phrygian
    {0, 2, 4, 7, 9},   // C Lydian
    {0, 2, 5, 7, 10},  // C Mixolydian
    {1, 3, 6, 8, 10},  // C Locrian
}};

bool IsOutOfScale(unsigned pitch, unsigned base, uint8_t scaleIndex) {
  if (pitch < base) return false;
  const auto& offsets = kOutOfScaleOffsets[scaleIndex];
  return std::find(offsets.begin(), offsets.end(), pitch - base) != offsets.end();
}

}  // namespace

uint8_t SnapPitchToScale(uint8_t pitch, uint8_t scaleIndex, RandomBitSource& bits) {
  const bool harmonicMinor = scaleIndex == kHarmonicMinorIndex;
  // Every pass draws, moved or not, so a run uses the same number of draws for any picture.
  for (int pass = 0; pass < kPassCount; ++pass) {
    const unsigned base = 1 + kOctave * static_cast<unsigned>(pass);
    bool up = (bits.Draw() & 1u) != 0;
    if (scaleIndex >= kScaleCount || !IsOutOfScale(pitch, base, scaleIndex)) continue;
    // C Locrian's out-of-scale 127 has no pitch above it: it moves down instead.
    if (pitch == kHighestPitch) up = false;
    if (up) {
      ++pitch;
      // Harmonic minor's two neighbouring out-of-scale pitches are crossed in one move.
      if (harmonicMinor && pitch == base + 9) ++pitch;
    } else {
      --pitch;
      if (harmonicMinor && pitch == base + 8) --pitch;
    }
  }
  return pitch;
}

}  // namespace pixorale
