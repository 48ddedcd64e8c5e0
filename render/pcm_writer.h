#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

namespace pixorale {

// Writes interleaved stereo floats to a stream as 16-bit little-endian samples, scaled by a
// fixed gain (1.0 is full scale: 1.0 becomes 32767) and rounded to nearest without dither,
// so that every run gives the same bytes; what goes beyond full scale is clipped to -32768
// or 32767 rather than wrapped around. Holds the bytes of one block at a time.
class PcmWriter {
 public:
  PcmWriter(std::ostream& out, double gain) : out_(out), scale_(gain * 32767.0) {}

  // False once the stream has failed.
  bool Write(const float* samples, size_t frames);

 private:
  std::ostream& out_;
  double scale_;
  std::vector<uint8_t> bytes_;
};

}  // namespace pixorale
