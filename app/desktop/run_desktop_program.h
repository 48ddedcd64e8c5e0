#pragma once

#include <string_view>

#include "app/conversion_run.h"

namespace pixorale {

// Everything between the toolkit's start and the end of the event loop: Qt's own texts in
// Japanese for the run, the settings (from `setting.set` in the current directory, or the
// defaults), a conversion of the command-line tail when it names a BMP file, then the main
// window until it is closed. Returns the exit code; non-zero when the main window could not
// be created.
int RunDesktopProgram(std::string_view commandLineTail, ProgramState& state, RandomBitSource& bits,
                      ConversionUi& ui);

}  // namespace pixorale
