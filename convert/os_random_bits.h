#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "convert/random_bits.h"

namespace pixorale {

// The operating system's cryptographic generator, never seeded. Only one bit of each draw is
// ever used, so the bits of one block from the OS serve many draws: a note's eleven draws
// cost a handful of bits, not eleven system calls.
class OsRandomBits final : public RandomBitSource {
 public:
  uint32_t Draw() override;

 private:
  void Refill();

  std::array<uint64_t, 1024> block_{};
  size_t bitsLeft_ = 0;
};

}  // namespace pixorale
