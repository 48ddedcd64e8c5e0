#include <windows.h>

#include "app/cli/interrupt.h"
#include "io/atomic_file.h"

namespace pixorale::cli {
namespace {

// Runs on a thread of its own that the system starts for the console event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  RemoveTemporariesOnSignal();
  const bool interrupted = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  ExitProcess(interrupted ? kExitInterrupted : kExitTerminated);
}

}  // namespace

void RemoveTemporariesOnInterrupt() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace pixorale::cli
