#include <signal.h>
#include <unistd.h>

#include "app/cli/interrupt.h"
#include "io/atomic_file.h"
#include "io/publication.h"

namespace pixorale::cli {
namespace {

void OnInterrupt(int signal) {
  if (DeferSignalDuringPublication(signal)) return;
  RemoveTemporariesOnSignal();
  ::_exit(signal == SIGINT ? kExitInterrupted : kExitTerminated);
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace pixorale::cli
