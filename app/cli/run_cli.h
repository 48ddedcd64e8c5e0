#pragma once

namespace pixorale::cli {

// The whole converter: parses the command line, converts every input and returns the exit
// status. Writes to the standard streams.
int RunCli(int argc, const char* const* argv);

}  // namespace pixorale::cli
