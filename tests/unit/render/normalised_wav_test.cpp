#include "render/normalised_wav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <vector>

#include "render/loudness.h"
#include "render/wav_format.h"

namespace pixorale {
namespace {

std::vector<int16_t> Samples(const std::string& wav) {
  std::vector<int16_t> samples((wav.size() - kWavHeaderBytes) / 2);
  std::memcpy(samples.data(), wav.data() + kWavHeaderBytes, samples.size() * 2);
  return samples;
}

TEST(NormalisedWav, RemovesTheOffsetAndBringsThePeakToMinusOneDbfs) {
  constexpr size_t kFrames = 44100;
  std::vector<float> left(kFrames);
  std::vector<float> right(kFrames);
  for (size_t i = 0; i < kFrames; ++i) {
    const float tone = 0.1f * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / 44100.0));
    left[i] = 0.2f + tone;  // a constant offset the synthesizer left
    right[i] = 0.5f * tone;
  }
  std::ostringstream out;
  ASSERT_TRUE(WriteNormalisedWav(left, right, out));
  const std::string wav = out.str();
  ASSERT_EQ(wav.size(), kWavHeaderBytes + kFrames * kWavFrameBytes);
  const auto header = WavHeader(kFrames);
  EXPECT_EQ(wav.substr(0, kWavHeaderBytes), std::string(header.begin(), header.end()));

  const std::vector<int16_t> samples = Samples(wav);
  int peak = 0;
  double leftSum = 0.0;
  for (size_t i = 0; i < samples.size(); ++i) {
    peak = std::max(peak, std::abs(int{samples[i]}));
    if (i % 2 == 0 && i >= samples.size() / 2) leftSum += samples[i];  // once the offset died
  }
  EXPECT_NEAR(20 * std::log10(peak / 32767.0), kWavPeakDbfs, 0.1);
  EXPECT_NEAR(leftSum / (samples.size() / 4) / 32767.0, 0.0, 0.001);
}

}  // namespace
}  // namespace pixorale
