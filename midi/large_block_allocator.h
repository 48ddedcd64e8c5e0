#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace pixorale {

// An allocator for lists that grow to millions of elements. Large blocks come straight from
// the kernel, aligned to and backed by huge pages where the system allows it: filling a
// fresh 100 MB event list page by page costs more in page faults than building the events.
template <typename T>
class LargeBlockAllocator {
 public:
  using value_type = T;
  static constexpr size_t kHugePage = size_t{2} << 20;

  LargeBlockAllocator() = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

  T* allocate(size_t count) {
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePage) return std::allocator<T>{}.allocate(count);
    // Map one huge page more than needed and trim it so the block starts on a boundary.
    const size_t mapped = RoundUp(bytes) + kHugePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = start + mapped;
    const uintptr_t blockEnd = aligned + RoundUp(bytes);
    if (aligned > start) munmap(raw, aligned - start);
    if (end > blockEnd) munmap(reinterpret_cast<void*>(blockEnd), end - blockEnd);
    madvise(reinterpret_cast<void*>(aligned), RoundUp(bytes), MADV_HUGEPAGE);
    return reinterpret_cast<T*>(aligned);
  }

  void deallocate(T* block, size_t count) noexcept {
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePage) {
      std::allocator<T>{}.deallocate(block, count);
    } else {
      munmap(block, RoundUp(bytes));
    }
  }

  template <typename U>
  bool operator==(const LargeBlockAllocator<U>&) const noexcept {
    return true;
  }

 private:
  static size_t RoundUp(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
};

}  // namespace pixorale
