#include <pthread.h>
#include <sched.h>
#include <signal.h>

#include <atomic>

#include "io/publication.h"

namespace pixorale {
namespace {

std::atomic<int> underWay{0};
std::atomic<bool> ending{false};  // no new set is named
// The interruption that struck another thread while a set was being named; raised again by
// the last publication to end.
std::atomic<int> deferredSignal{0};
// The publishing thread's own mask, to restore: publications do not nest.
thread_local sigset_t maskBefore;

sigset_t Interruptions() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

// The interruptions are held back from the publishing thread itself, so that its handler
// never runs in the middle of a set; another thread's handler defers to it.
Publication::Publication() {
  const sigset_t interruptions = Interruptions();
  pthread_sigmask(SIG_BLOCK, &interruptions, &maskBefore);
  underWay.fetch_add(1);
  started_ = !ending.load() && deferredSignal.load() == 0;
}

Publication::~Publication() {
  underWay.fetch_sub(1);
  // A signal held back from this thread arrives now.
  pthread_sigmask(SIG_SETMASK, &maskBefore, nullptr);
  if (underWay.load() == 0) {
    if (const int signal = deferredSignal.exchange(0); signal != 0) ::raise(signal);
  }
}

bool DeferSignalDuringPublication(int signal) noexcept {
  deferredSignal.store(signal);
  if (underWay.load() > 0) return true;
  deferredSignal.store(0);
  return false;
}

void WaitForPublications() noexcept {
  ending.store(true);
  while (underWay.load() > 0) sched_yield();
}

}  // namespace pixorale
