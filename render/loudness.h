#pragma once

namespace pixorale {

// Where the loudest sample of a normalised WAV stands, in dB below full scale.
inline constexpr double kWavPeakDbfs = -1.0;

// The factor of a gain given in decibels.
double GainFactor(double db);

// The factor that brings the loudest sample, `peak` (1.0 is full scale), to kWavPeakDbfs. A
// song whose peak is below half a 16-bit step would be all zeros at 0 dB: it is silence and
// keeps the factor 1 rather than being raised to full scale.
double NormalisingGain(float peak);

// True when a song whose loudest sample is `peak`, written at `gain`, is written as zeros
// alone: its loudest sample stays within half a 16-bit step, which rounds to 0.
bool WritesAsSilence(float peak, double gain);

}  // namespace pixorale
