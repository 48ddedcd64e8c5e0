#pragma once

#include <windows.h>

#include <string_view>

#include "app/conversion_run.h"

namespace pixorale {

// Everything between the program's start and the end of its message loop: the settings
// (from `setting.set` in the current directory, or the defaults), a conversion of the
// command-line tail when it names a BMP file, then the main window until it is destroyed.
// Returns the exit code: the quit message's 0; 0 at once when the window class cannot be
// registered; 1 when the window cannot be created (no window could ever end the loop).
int RunWindowsProgram(HINSTANCE instance, std::string_view commandLineTail, int showCommand,
                      ProgramState& state, RandomBitSource& bits, ConversionUi& ui);

}  // namespace pixorale
