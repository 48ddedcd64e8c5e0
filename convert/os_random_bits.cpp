#include "convert/os_random_bits.h"

namespace pixorale {

// The block is refilled from the system (os_random_bits_<platform>.cpp) once every bit of it
// has served one draw.
uint32_t OsRandomBits::Draw() {
  if (bitsLeft_ == 0) Refill();
  --bitsLeft_;
  const uint64_t word = block_[bitsLeft_ / 64];
  return static_cast<uint32_t>((word >> (bitsLeft_ % 64)) & 1u);
}

}  // namespace pixorale
