#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/conversion_run.h"
#include "app/conversion_settings.h"
#include "app/converter/conversion_jobs.h"
#include "app/converter/converter_options.h"
#include "app/converter/failure.h"
#include "app/converter/job_outputs.h"
#include "app/song_summary.h"
#include "convert/melody.h"
#include "convert/random_bits.h"
#include "image/decode_limits.h"

namespace pixorale::converter {

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
  DecodeLimits pictureLimits;
  OutputSettings outputs;
};

// What the options convert every input with, from the effective settings; the outputs'
// settings are the shell's to fill.
BatchSettings BatchSettingsFor(const ConverterOptions& options, const ConversionSettings& settings);

struct ConversionOutcome {
  std::optional<Failure> failure;  // none: converted
  RunReport report;
  SongSummary song;  // of a converted input
  // About an input converted all the same ("the pixel data ends 12 bytes early"), told
  // before its result.
  std::vector<Warning> warnings;

  bool converted() const { return !failure; }
};

// Converts one input with its own program state and random source, into the outputs planned
// for it.
ConversionOutcome ConvertOne(const ConversionJob& job, const BatchSettings& batch,
                             PlannedOutputs& outputs);

// Playing time of the converted song in seconds: ticks are milliseconds in millisecond
// timing; in beat timing it needs a division and a tempo.
std::optional<double> LengthSeconds(const SongSummary& song);

}  // namespace pixorale::converter
