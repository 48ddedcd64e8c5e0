#pragma once

#include <cstddef>

namespace pixorale {

// Blocks of whole 2 MiB pages straight from the system, aligned to 2 MiB and backed by huge
// pages where the system allows it. `bytes` is a multiple of kHugePageSize. Null when the
// system has no memory to give.
inline constexpr size_t kHugePageSize = size_t{2} << 20;
void* AllocateLargeBlock(size_t bytes) noexcept;
void FreeLargeBlock(void* block, size_t bytes) noexcept;

}  // namespace pixorale
