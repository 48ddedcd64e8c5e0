#include "convert/seeded_bits.h"

namespace pixorale {

uint32_t SeededBits::Draw() {
  // Only the lowest bit of a draw is looked at, so one output serves 64 draws.
  if (bitsLeft_ == 0) {
    bits_ = engine_();
    bitsLeft_ = 64;
  }
  const auto bit = static_cast<uint32_t>(bits_ & 1u);
  bits_ >>= 1;
  --bitsLeft_;
  return bit;
}

}  // namespace pixorale
