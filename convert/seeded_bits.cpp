#include "convert/seeded_bits.h"

namespace pixorale {

uint32_t SeededBits::Draw() {
  return static_cast<uint32_t>(engine_());
}

}  // namespace pixorale
