#pragma once

#include <cstdint>
#include <random>

#include "convert/random_bits.h"

namespace pixorale {

// A reproducible source of snap directions for scripted, repeatable conversions: a
// std::mt19937_64 seeded with the given number. Each engine output serves 64 draws, one bit
// each, lowest bit first: draw k is bit (k mod 64) of output k / 64 (counting from 0). The
// C++ standard fixes the engine's whole output sequence for a given seed, so a seed gives
// the same directions, and the same picture and settings the same bytes, with every
// conforming library on every machine.
class SeededBits final : public RandomBitSource {
 public:
  explicit SeededBits(uint64_t seed) : engine_(seed) {}
  uint32_t Draw() override;

 private:
  std::mt19937_64 engine_;
  uint64_t bits_ = 0;
  unsigned bitsLeft_ = 0;
};

}  // namespace pixorale
