#include "convert/scale_snap.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace pixorale {
namespace {

// Counts the draws while yielding a fixed value.
class CountingBits : public RandomBitSource {
 public:
  explicit CountingBits(uint32_t value) : value_(value) {}
  uint32_t Draw() override {
    ++draws;
    return value_;
  }
  int draws = 0;

 private:
  uint32_t value_;
};

constexpr std::array<std::array<bool, 12>, 9> kInScale = [] {
  constexpr std::array<std::array<int, 7>, 9> classes = {{
      {0, 2, 4, 5, 7, 9, 11},
      {0, 2, 3, 5, 7, 8, 10},
      {0, 2, 3, 5, 7, 8, 11},
      {0, 2, 3, 5, 7, 9, 11},
      {0, 2, 3, 5, 7, 9, 10},
      {0, 1, 3, 5, 7, 8, 10},
      {0, 2, 4, 6, 7, 9, 11},
      {0, 2, 4, 5, 7, 9, 10},
      {0, 1, 3, 5, 6, 8, 10},
  }};
  std::array<std::array<bool, 12>, 9> table{};
  for (size_t s = 0; s < 9; ++s)
    for (int c : classes[s]) table[s][static_cast<size_t>(c)] = true;
  return table;
}();

struct SnapCase {
  uint8_t scale;
  uint8_t pitch;
  uint8_t up;
  uint8_t down;
};

class SnapExamples : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SnapExamples, MovesInTheDrawnDirection) {
  const SnapCase c = GetParam();
  FixedBits up(1), down(0);
  EXPECT_EQ(SnapPitchToScale(c.pitch, c.scale, up), c.up);
  EXPECT_EQ(SnapPitchToScale(c.pitch, c.scale, down), c.down);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, SnapExamples,
                         ::testing::Values(SnapCase{0, 61, 62, 60}, SnapCase{0, 64, 64, 64},
                                           SnapCase{2, 69, 71, 68}, SnapCase{2, 70, 71, 68},
                                           SnapCase{5, 14, 15, 13}, SnapCase{8, 66, 66, 66},
                                           SnapCase{0, 66, 67, 65},
                                           // C Locrian's 127 cannot go up to 128.
                                           SnapCase{8, 127, 126, 126}, SnapCase{8, 115, 116, 114}));

TEST(ScaleSnap, EveryResultIsInScaleAndNearTheInput) {
  for (uint8_t scale = 0; scale < kScaleCount; ++scale) {
    for (int pitch = 0; pitch <= 127; ++pitch) {
      for (uint32_t bit : {0u, 1u}) {
        FixedBits bits(bit);
        const int result = SnapPitchToScale(static_cast<uint8_t>(pitch), scale, bits);
        SCOPED_TRACE(::testing::Message()
                     << "scale " << int{scale} << " pitch " << pitch << " bit " << bit);
        ASSERT_LE(result, 127);
        EXPECT_TRUE(kInScale[scale][static_cast<size_t>(result % 12)]);
        const bool harmonicGap =
            scale == kHarmonicMinorIndex && (pitch % 12 == 9 || pitch % 12 == 10);
        EXPECT_LE(std::abs(result - pitch), harmonicGap ? 2 : 1);
        if (kInScale[scale][static_cast<size_t>(pitch % 12)]) {
          EXPECT_EQ(result, pitch) << "in-scale pitches stay";
        }
      }
    }
  }
}

TEST(ScaleSnap, AlwaysDrawsElevenValues) {
  for (uint8_t scale : {uint8_t{0}, uint8_t{2}, uint8_t{9}, uint8_t{255}}) {
    for (uint8_t pitch : {uint8_t{0}, uint8_t{61}, uint8_t{127}}) {
      CountingBits bits(1);
      SnapPitchToScale(pitch, scale, bits);
      EXPECT_EQ(bits.draws, 11);
    }
  }
}

TEST(ScaleSnap, IndexWithoutScaleLeavesEveryPitchUnchanged) {
  for (uint8_t scale : {uint8_t{9}, uint8_t{255}}) {
    for (int pitch = 0; pitch <= 127; ++pitch) {
      FixedBits up(1);
      EXPECT_EQ(SnapPitchToScale(static_cast<uint8_t>(pitch), scale, up), pitch);
    }
  }
}

TEST(ScaleSnap, OnlyTheLowestBitOfADrawCounts) {
  FixedBits evenUp(0xFFFFFFFE), oddDown(0x00000001);
  EXPECT_EQ(SnapPitchToScale(61, 0, evenUp), 60);
  EXPECT_EQ(SnapPitchToScale(61, 0, oddDown), 62);
}

}  // namespace
}  // namespace pixorale
