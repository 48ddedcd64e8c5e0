#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/converter/conversion_jobs.h"
#include "app/converter/failure.h"

namespace pixorale::converter {

// An output of a job, the option that named it, and the descriptor it is written to in place.
struct NamedOutput {
  std::string path;
  const char* option;  // "-o", "--wav", "--piano-roll"
  std::optional<int> descriptor;
};

// Why an output that exists is not replaced.
inline constexpr const char* kRefusedExistingOutput =
    "already exists; use -f/--force to replace it";

// True when two output names lead to one file or descriptor ("-" is standard output).
bool SameNamedOutput(const std::string& a, const std::string& b);

// The MIDI file, then the WAV and the piano roll asked for.
std::vector<NamedOutput> OutputsOf(const ConversionJob& job);

// Why the job cannot run because two of its outputs lead to one file or descriptor, however
// they are spelt ("also named by --wav"); empty when they are all apart.
std::string OutputsCollide(const ConversionJob& job);

// The first output that must not be written and why: a directory, the input picture or the
// SoundFont (compared on what the names lead to, so that --force cannot destroy an input), or
// an existing file without --force. Outputs written in place to a descriptor are not checked.
// Checked before converting, so that a batch re-run skips finished work quickly; the input
// is checked first, so an unreadable input says so rather than blaming its output.
std::optional<Failure> FirstOutputRefused(const ConversionJob& job,
                                          const std::string& soundFontPath);

}  // namespace pixorale::converter
