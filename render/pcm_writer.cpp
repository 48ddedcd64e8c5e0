#include "render/pcm_writer.h"

#include <algorithm>
#include <cmath>

namespace pixorale {

bool PcmWriter::Write(const float* samples, size_t frames) {
  const size_t count = 2 * frames;
  bytes_.resize(2 * count);
  for (size_t i = 0; i < count; ++i) {
    const double scaled = std::clamp(static_cast<double>(samples[i]) * scale_, -32768.0, 32767.0);
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(std::lrint(scaled)));
    bytes_[2 * i] = static_cast<uint8_t>(bits);
    bytes_[2 * i + 1] = static_cast<uint8_t>(bits >> 8);
  }
  out_.write(reinterpret_cast<const char*>(bytes_.data()),
             static_cast<std::streamsize>(bytes_.size()));
  return static_cast<bool>(out_);
}

}  // namespace pixorale
