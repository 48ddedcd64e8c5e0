#include "image/byte_source.h"

#include <algorithm>

namespace pixorale {

int64_t MemoryByteSource::Read(std::span<uint8_t> out) {
  const size_t count = std::min(out.size(), bytes_.size() - position_);
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, out.begin());
  position_ += count;
  return static_cast<int64_t>(count);
}

}  // namespace pixorale
