#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace pixorale {

// Remembers the name of a temporary file for as long as the object lives, so that a signal
// or console handler can remove the temporaries of writes under way. The names are kept in
// fixed slots: the handler needs no allocation and no lock. A slot is free (0), being filled
// (1) or holds a name (2). With every slot taken (more parallel writes than slots), or a
// name too long for a slot, the name is simply not remembered.
template <typename Char, size_t kMaxLength>
class PendingName {
 public:
  explicit PendingName(std::basic_string_view<Char> path) {
    if (path.size() >= kMaxLength) return;
    for (Slot& slot : slots_) {
      int expected = kFree;
      if (slot.state.compare_exchange_strong(expected, kFilling)) {
        std::memcpy(slot.path, path.data(), path.size() * sizeof(Char));
        slot.path[path.size()] = Char{};
        slot.state.store(kHeld);
        slot_ = &slot;
        return;
      }
    }
  }
  ~PendingName() {
    if (slot_ != nullptr) slot_->state.store(kFree);
  }
  PendingName(const PendingName&) = delete;
  PendingName& operator=(const PendingName&) = delete;

  // Calls `remove` on every name remembered now. Safe in a signal handler.
  static void RemoveAll(void (*remove)(const Char* path)) noexcept {
    for (Slot& slot : slots_) {
      if (slot.state.load() == kHeld) remove(slot.path);
    }
  }

 private:
  static constexpr int kFree = 0;
  static constexpr int kFilling = 1;
  static constexpr int kHeld = 2;
  static constexpr size_t kSlots = 64;
  struct Slot {
    std::atomic<int> state{kFree};
    Char path[kMaxLength]{};
  };
  static inline std::array<Slot, kSlots> slots_;

  Slot* slot_ = nullptr;
};

}  // namespace pixorale
