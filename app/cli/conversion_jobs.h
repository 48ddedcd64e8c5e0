#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_options.h"

namespace pixorale::cli {

// One input and where its MIDI file goes.
struct ConversionJob {
  std::string inputPath;
  std::string outputPath;
  // Set when the output is a descriptor the program was given (standard output, /dev/fd/N):
  // it is written in place.
  std::optional<int> outputDescriptor;
  // The WAV and the piano roll made beside the MIDI file, when asked for, and the descriptors
  // they stand for, like the MIDI file's.
  std::optional<std::string> wavPath;
  std::optional<std::string> pianoRollPath;
  std::optional<int> wavDescriptor;
  std::optional<int> pianoRollDescriptor;
  bool force = false;
  // Set when the job must not run: another input of the batch writes the same output.
  std::string conflict;
};

// The jobs in input order: -o names the one output, -d a directory for all of them, and by
// default each output lies beside its input with the extension replaced by ".mid".
std::vector<ConversionJob> PlanConversionJobs(const CliOptions& options);

}  // namespace pixorale::cli
