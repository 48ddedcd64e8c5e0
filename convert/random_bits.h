#pragma once

#include <cstdint>

namespace pixorale {

// Where the up/down direction of a pitch snap comes from. Each draw is one unsigned 32-bit
// value of which only the lowest bit is used: 1 means up, 0 means down.
class RandomBitSource {
 public:
  virtual ~RandomBitSource() = default;
  virtual uint32_t Draw() = 0;
};

// Always yields the same value: 1 moves every out-of-scale pitch up, 0 moves it down.
class FixedBits final : public RandomBitSource {
 public:
  explicit FixedBits(uint32_t value) : value_(value) {}
  uint32_t Draw() override { return value_; }

 private:
  uint32_t value_;
};

}  // namespace pixorale
