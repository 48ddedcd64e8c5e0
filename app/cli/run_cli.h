#pragma once

#include <string>
#include <vector>

#include "app/cli/cli_streams.h"

namespace pixorale::cli {

// The whole converter: parses the arguments (the program's name first), converts every
// input and returns the exit status. Writes its messages and reports to the given streams;
// MIDI bytes for standard output go to the process's standard output.
int RunCli(const std::vector<std::string>& arguments, const CliStreams& streams);

}  // namespace pixorale::cli
