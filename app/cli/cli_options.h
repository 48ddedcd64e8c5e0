#pragma once

#include <optional>
#include <ostream>

#include "app/converter/converter_options.h"
#include "app/converter/this_build.h"

namespace pixorale::cli {

// The converter's exit statuses.
inline constexpr int kExitConverted = 0;   // every input converted (or --help, --version)
inline constexpr int kExitSomeFailed = 1;  // at least one input or the settings save failed
inline constexpr int kExitUsage = 2;       // the command line could not be used

// The options, or the exit status when the command line was answered (--help, --version) or
// refused; the answer or the complaint has then been written to `out` or `err`.
struct ParsedCommandLine {
  std::optional<converter::ConverterOptions> options;
  int exitStatus = kExitConverted;
};

// Reads the command line with the options of the converter's table. The help lists only the
// features of `build`, and an option for one it lacks is refused.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err,
                                   const converter::BuildFeatures& build = converter::ThisBuild());

}  // namespace pixorale::cli
