#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "convert/os_random_bits.h"

namespace pixorale {

// The browser's generator (crypto.getRandomValues), which gives at most 256 bytes a call.
void OsRandomBits::Refill() {
  auto* bytes = reinterpret_cast<unsigned char*>(block_.data());
  const size_t total = sizeof(block_);
  for (size_t filled = 0; filled < total;) {
    const size_t chunk = std::min<size_t>(256, total - filled);
    if (getentropy(bytes + filled, chunk) != 0) {
      // No generator: the missing bits read as 0, which means "down".
      std::memset(bytes + filled, 0, total - filled);
      break;
    }
    filled += chunk;
  }
  bitsLeft_ = total * 8;
}

}  // namespace pixorale
