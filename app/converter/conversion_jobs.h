#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/converter/converter_options.h"
#include "app/converter/failure.h"

namespace pixorale::converter {

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
  // Set when the job must not run, before anything is written: two of its outputs are one
  // file, another input of the batch writes the same output, or the input is the MIDI file
  // the user meant to name with -o.
  std::optional<Failure> conflict;
};

// The jobs in input order: -o names the one output, -d a directory for all of them, and by
// default each output lies beside its input with the extension replaced by ".mid". Inputs
// that would write one output are all refused, each line naming the others.
std::vector<ConversionJob> PlanConversionJobs(const ConverterOptions& options);

}  // namespace pixorale::converter
