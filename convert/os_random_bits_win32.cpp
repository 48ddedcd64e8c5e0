#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include <cstring>

#include "convert/os_random_bits.h"

namespace pixorale {

void OsRandomBits::Refill() {
  // The system's preferred generator, the one rand_s draws from, a whole block per call.
  auto* bytes = reinterpret_cast<unsigned char*>(block_.data());
  const auto total = static_cast<ULONG>(sizeof(block_));
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, total, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    // No generator: the bits read as 0, which means "down".
    std::memset(bytes, 0, total);
  }
  bitsLeft_ = sizeof(block_) * 8;
}

}  // namespace pixorale
