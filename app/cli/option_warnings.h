#pragma once

#include <string>
#include <vector>

#include "app/cli/cli_options.h"

namespace pixorale::cli {

// Options given on the command line that would silently do nothing or something else than
// asked: an empty --range, --sustain 0, a tempo the tempo event cannot hold. One line each,
// without the program name; the conversion still runs.
std::vector<std::string> OptionWarnings(const SettingOverrides& overrides);

}  // namespace pixorale::cli
