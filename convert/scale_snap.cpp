#include "convert/scale_snap.h"

#include <algorithm>
#include <array>

#include "convert/scale_classes.h"

namespace pixorale {
namespace {

constexpr int kPassCount = 11;
constexpr unsigned kOctave = 12;
constexpr uint8_t kHighestPitch = 127;

bool IsOutOfScale(unsigned pitch, unsigned base, uint8_t scaleIndex) {
  if (pitch < base) return false;
  const auto& offsets = kScales[scaleIndex].outOfScaleOffsets;
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

uint8_t SnapPitchToExtraScale(uint8_t pitch, ExtraScale scale, RandomBitSource& bits) {
  const bool up = (bits.Draw() & 1u) != 0;
  for (int pass = 1; pass < kPassCount; ++pass) bits.Draw();
  const uint16_t classes = InfoOf(scale).pitchClasses;
  const auto inScale = [classes](int p) { return HasClass(classes, p); };
  if (inScale(pitch)) return pitch;
  const auto nearest = [&inScale](int from, int step) {
    for (int p = from + step; p >= 0 && p <= kHighestPitch; p += step) {
      if (inScale(p)) return p;
    }
    return -1;
  };
  int moved = nearest(pitch, up ? 1 : -1);
  if (moved < 0) moved = nearest(pitch, up ? -1 : 1);
  return static_cast<uint8_t>(moved);
}

uint8_t SnapWithin(uint8_t snapped, uint8_t from, uint8_t low, uint8_t high, uint16_t classes) {
  if (snapped >= low && snapped <= high) return snapped;
  const auto nearest = [&](int step) {
    for (int p = from + step; p >= low && p <= high; p += step) {
      if (HasClass(classes, p)) return p;
    }
    return -1;
  };
  const int wentUp = snapped > from ? 1 : -1;
  int kept = nearest(wentUp);
  if (kept < 0) kept = nearest(-wentUp);
  return kept < 0 ? snapped : static_cast<uint8_t>(kept);
}

}  // namespace pixorale
