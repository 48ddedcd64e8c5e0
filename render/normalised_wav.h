#pragma once

#include <ostream>
#include <span>

namespace pixorale {

// Writes sound rendered elsewhere (the web page's synthesizer) as the converter writes its
// own: 44.1 kHz 16-bit stereo WAV, a constant offset removed and the loudest sample at
// kWavPeakDbfs. The two channels are as long as each other. False once the stream failed.
bool WriteNormalisedWav(std::span<const float> left, std::span<const float> right,
                        std::ostream& out);

}  // namespace pixorale
