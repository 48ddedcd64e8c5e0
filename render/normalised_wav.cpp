#include "render/normalised_wav.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/dc_blocker.h"
#include "render/loudness.h"
#include "render/pcm_writer.h"
#include "render/wav_format.h"

namespace pixorale {

bool WriteNormalisedWav(std::span<const float> left, std::span<const float> right,
                        std::ostream& out) {
  const size_t frames = std::min({left.size(), right.size(), static_cast<size_t>(kWavMaxFrames)});
  // Interleaved and filtered first: the peak is that of the sound as written.
  std::vector<float> samples(2 * frames);
  DcBlocker leftBlocker;
  DcBlocker rightBlocker;
  float peak = 0.0f;
  for (size_t frame = 0; frame < frames; ++frame) {
    samples[2 * frame] = leftBlocker.Filter(left[frame]);
    samples[2 * frame + 1] = rightBlocker.Filter(right[frame]);
    peak = std::max({peak, std::abs(samples[2 * frame]), std::abs(samples[2 * frame + 1])});
  }
  const auto header = WavHeader(static_cast<uint32_t>(frames));
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  PcmWriter pcm(out, NormalisingGain(peak));
  return pcm.Write(samples.data(), frames) && out.good();
}

}  // namespace pixorale
