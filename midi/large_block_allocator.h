#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "midi/large_blocks.h"

namespace pixorale {

// An allocator for lists that grow to millions of elements. Large blocks come straight from
// the kernel, aligned to and backed by huge pages where the system allows it: filling a
// fresh 100 MB event list page by page costs more in page faults than building the events.
template <typename T>
class LargeBlockAllocator {
 public:
  using value_type = T;
  static constexpr size_t kHugePage = kHugePageSize;

  LargeBlockAllocator() = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

  T* allocate(size_t count) {
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePage) return std::allocator<T>{}.allocate(count);
    void* block = AllocateLargeBlock(RoundUp(bytes));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }

  void deallocate(T* block, size_t count) noexcept {
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePage) {
      std::allocator<T>{}.deallocate(block, count);
    } else {
      FreeLargeBlock(block, RoundUp(bytes));
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
