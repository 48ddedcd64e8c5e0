#include <windows.h>

#include <atomic>

#include "io/publication.h"

namespace pixorale {
namespace {

std::atomic<int> underWay{0};
std::atomic<bool> ending{false};  // no new set is named

}  // namespace

// A console handler runs on a thread of its own and interrupts none: it waits for the set.
Publication::Publication() {
  underWay.fetch_add(1);
  started_ = !ending.load();
}

Publication::~Publication() {
  underWay.fetch_sub(1);
}

bool DeferSignalDuringPublication(int) noexcept {
  return false;
}

void WaitForPublications() noexcept {
  ending.store(true);
  while (underWay.load() > 0) Sleep(1);
}

}  // namespace pixorale
