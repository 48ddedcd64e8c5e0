#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/conversion_run.h"
#include "app/win32/run_windows_program.h"
#include "app/win32/win32_conversion_ui.h"
#include "convert/os_random_bits.h"
#include "io/wide_text_win32.h"

namespace {

// A window program has no console of its own; "--help" and "--version" are written to the
// console it was started from, if any, or to wherever its output was redirected.
void ConnectOutputToParentConsole() {
  if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stdout) != nullptr) {
    std::cout.clear();
  }
}

}  // namespace

// The tail comes from the platform taken whole: quotes are kept and nothing is split off.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLineTail, int showCommand) {
  using namespace pixorale;
  const std::string tail = ToUtf8(commandLineTail != nullptr ? commandLineTail : L"");

  if (tail == "--help" || tail == "--version") {
    ConnectOutputToParentConsole();
    return AnswerInformationRequest(tail, std::cout).value_or(0);
  }

  // Version 6 of the common controls (asked for by the manifest) draws the current style.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // One settings record, song and image for the whole run.
  static ProgramState state;
  OsRandomBits bits;
  Win32ConversionUi ui;
  return RunWindowsProgram(instance, tail, showCommand, state, bits, ui);
}
