#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/cli_streams.h"
#include "app/cli/conversion_jobs.h"
#include "app/cli/job_outputs.h"
#include "app/conversion_run.h"
#include "app/conversion_settings.h"
#include "convert/melody.h"
#include "convert/random_bits.h"
#include "image/decode_limits.h"

namespace pixorale::cli {

// Where the snap directions of one input come from.
struct SnapSource {
  SnapMode mode = SnapMode::kRandom;
  std::optional<uint64_t> seed;
};

// A fresh source for each input: with a seed, every input starts the seeded sequence from its
// beginning, so its file does not depend on the other inputs or on their order.
std::unique_ptr<RandomBitSource> MakeBitSource(const SnapSource& source);

// What every input of a batch is converted with.
struct BatchSettings {
  ConversionSettings settings;
  ConversionControls controls;
  SnapSource snap;
  RenderSettings render;
  DecodeLimits pictureLimits;
};

// What the options convert every input with, from the effective settings.
BatchSettings BatchSettingsFor(const CliOptions& options, const ConversionSettings& settings,
                               RenderSettings render);

struct ConversionOutcome {
  bool converted = false;
  RunReport report;
  std::string errorPath;    // the file the error is about
  std::string errorReason;  // one line
  // Lines about an input converted all the same ("a.bmp: the pixel data ends 12 bytes
  // early; ..."), told before its result.
  std::vector<std::string> warnings;
};

// Converts one input with its own program state and random source, into the files the job
// names.
ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             const CliStreams& streams);
// The same, with the song handed to `outputs` (which the job's output paths only name).
ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             SongOutputs& outputs);

}  // namespace pixorale::cli
