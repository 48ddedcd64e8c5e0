#include "render/dc_blocker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pixorale {
namespace {

constexpr int kRate = 44100;

TEST(DcBlocker, ConstantOffsetDiesAwayWithinASecond) {
  DcBlocker blocker;
  float out = 0.0f;
  for (int i = 0; i < kRate / 10; ++i) out = blocker.Filter(0.5f);
  EXPECT_LT(out, 0.5f * 0.12f);  // e^-(0.1 s / 45 ms)
  for (int i = kRate / 10; i < kRate; ++i) out = blocker.Filter(0.5f);
  EXPECT_LT(std::abs(out), 1e-6f);
}

// Once settled, a sine comes out at nearly its own amplitude from 20 Hz up (high ones a
// little above it: the filter lifts them by up to 2 / (1 + kPole), 0.002 dB).
TEST(DcBlocker, KeepsTwentyHertzAndAbove) {
  struct Case {
    double hertz;
    double minimumGain;
  };
  for (const Case c : {Case{20.0, 0.984}, Case{100.0, 0.999}, Case{1000.0, 0.9999}}) {
    SCOPED_TRACE(c.hertz);
    DcBlocker blocker;
    double peak = 0.0;
    for (int i = 0; i < 2 * kRate; ++i) {
      const auto in = static_cast<float>(std::sin(2 * std::numbers::pi * c.hertz * i / kRate));
      const float out = blocker.Filter(in);
      if (i >= kRate) peak = std::max(peak, static_cast<double>(std::abs(out)));
    }
    EXPECT_GT(peak, c.minimumGain);
    EXPECT_LT(peak, 2.0 / (1.0 + DcBlocker::kPole) + 1e-6);
  }
}

}  // namespace
}  // namespace pixorale
