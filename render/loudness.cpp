#include "render/loudness.h"

#include <cmath>

namespace pixorale {

namespace {
// The synthesizer's reverb keeps a tiny offset against denormal numbers; below this it is
// not sound.
constexpr float kSilentPeak = 0.5f / 32767.0f;
}  // namespace

double GainFactor(double db) {
  return std::pow(10.0, db / 20.0);
}

double NormalisingGain(float peak) {
  return peak >= kSilentPeak ? GainFactor(kWavPeakDbfs) / static_cast<double>(peak) : 1.0;
}

bool WritesAsSilence(float peak, double gain) {
  return static_cast<double>(peak) * gain <= static_cast<double>(kSilentPeak);
}

}  // namespace pixorale
