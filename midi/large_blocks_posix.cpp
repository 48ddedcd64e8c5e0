#include <sys/mman.h>

#include <cstdint>

#include "midi/large_blocks.h"

namespace pixorale {

void* AllocateLargeBlock(size_t bytes) noexcept {
  // Map one huge page more than needed and trim it so the block starts on a boundary.
  const size_t mapped = bytes + kHugePageSize;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
  const uintptr_t end = start + mapped;
  const uintptr_t blockEnd = aligned + bytes;
  if (aligned > start) munmap(raw, aligned - start);
  if (end > blockEnd) munmap(reinterpret_cast<void*>(blockEnd), end - blockEnd);
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void FreeLargeBlock(void* block, size_t bytes) noexcept {
  munmap(block, bytes);
}

}  // namespace pixorale
