#include "convert/os_random_bits.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

namespace pixorale {

uint32_t OsRandomBits::Draw() {
  if (bitsLeft_ == 0) Refill();
  --bitsLeft_;
  const uint64_t word = block_[bitsLeft_ / 64];
  return static_cast<uint32_t>((word >> (bitsLeft_ % 64)) & 1u);
}

void OsRandomBits::Refill() {
  auto* bytes = reinterpret_cast<unsigned char*>(block_.data());
  const size_t total = sizeof(block_);
  size_t filled = 0;
  while (filled < total) {
    const ssize_t got = getrandom(bytes + filled, total - filled, 0);
    if (got > 0) {
      filled += static_cast<size_t>(got);
    } else if (got < 0 && errno != EINTR) {
      // No generator: the missing bits read as 0, which means "down".
      std::memset(bytes + filled, 0, total - filled);
      break;
    }
  }
  bitsLeft_ = total * 8;
}

}  // namespace pixorale
