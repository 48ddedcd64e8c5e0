#include <windows.h>

#include <cstdint>

#include "midi/large_blocks.h"

namespace pixorale {

void* AllocateLargeBlock(size_t bytes) noexcept {
  // Windows hands out reservations on 64 KiB boundaries. For a 2 MiB boundary, reserve a
  // page more, note an aligned start inside, give the reservation back and take exactly the
  // aligned range; another thread may take it in between, hence the retries.
  constexpr int kAttempts = 8;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    void* probe = VirtualAlloc(nullptr, bytes + kHugePageSize, MEM_RESERVE, PAGE_NOACCESS);
    if (probe == nullptr) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(probe);
    const uintptr_t aligned = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
    VirtualFree(probe, 0, MEM_RELEASE);
    void* block = VirtualAlloc(reinterpret_cast<void*>(aligned), bytes, MEM_RESERVE | MEM_COMMIT,
                               PAGE_READWRITE);
    if (block != nullptr) return block;
  }
  // Alignment is only a help to the memory system; an unaligned block works as well.
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeLargeBlock(void* block, size_t) noexcept {
  VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace pixorale
