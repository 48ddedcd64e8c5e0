#include "convert/scale_classes.h"

namespace pixorale {

uint16_t ScaleClasses(uint8_t scaleIndex, std::optional<ExtraScale> extraScale) {
  if (extraScale) return InfoOf(*extraScale).pitchClasses;
  unsigned classes = kAllPitchClasses;
  if (scaleIndex < kScaleCount) {
    // The offsets count from each snapping pass's base, the C sharp of its octave.
    for (const uint8_t offset : kScales[scaleIndex].outOfScaleOffsets) {
      classes &= ~(1u << ((1u + offset) % 12u));
    }
  }
  return static_cast<uint16_t>(classes);
}

uint16_t RootedClasses(uint16_t classesOnC, uint8_t key) {
  const unsigned rooted = (unsigned{classesOnC} << key) | (unsigned{classesOnC} >> (12u - key));
  return static_cast<uint16_t>(rooted & kAllPitchClasses);
}

}  // namespace pixorale
