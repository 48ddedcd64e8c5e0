#include "render/pcm_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pixorale {
namespace {

std::vector<uint8_t> Written(const std::vector<float>& samples, double gain) {
  std::ostringstream out;
  PcmWriter writer(out, gain);
  EXPECT_TRUE(writer.Write(samples.data(), samples.size() / 2));
  const std::string bytes = out.str();
  return {bytes.begin(), bytes.end()};
}

TEST(PcmWriter, ScalesRoundsToNearestEvenAndClipsAtFullScale) {
  // Every product below is exact in double: 0.5 * 32767 = 16383.5 rounds to the even 16384.
  const std::vector<float> samples = {0.0f,  1.0f,   -1.0f, 0.5f,  -0.5f,
                                      0.25f, -0.25f, 2.0f,  -2.0f, 0.0f};
  const std::vector<uint8_t> expected = {
      0x00, 0x00,  // 0
      0xFF, 0x7F,  // 32767
      0x01, 0x80,  // -32767
      0x00, 0x40,  // 16384
      0x00, 0xC0,  // -16384
      0x00, 0x20,  // 8191.75: 8192
      0x00, 0xE0,  // -8192
      0xFF, 0x7F,  // clipped to 32767
      0x00, 0x80,  // clipped to -32768
      0x00, 0x00,
  };
  EXPECT_EQ(Written(samples, 1.0), expected);
}

TEST(PcmWriter, GainScalesBeforeRounding) {
  EXPECT_EQ(Written({1.0f, -2.0f}, 0.5), (std::vector<uint8_t>{0x00, 0x40, 0x01, 0x80}));
}

TEST(PcmWriter, FailedStreamIsReported) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  PcmWriter writer(out, 1.0);
  const float samples[] = {0.1f, 0.2f};
  EXPECT_FALSE(writer.Write(samples, 1));
}

}  // namespace
}  // namespace pixorale
