#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_streams.h"
#include "app/cli/conversion_jobs.h"
#include "app/song_outputs.h"

namespace pixorale::cli {

// The same for every input: the SoundFont for WAV files (chosen and checked once), whether a
// render shows its progress on the terminal, and the WAV's gain.
struct RenderSettings {
  std::string soundFontPath;
  bool showProgress = false;
  std::optional<double> gainDb;  // of the WAV; none: normalised
};

// Why an output that exists is not replaced.
inline constexpr const char* kRefusedExistingOutput =
    "already exists; use -f/--force to replace it";

// Where one input's song goes: the MIDI file, then the WAV and the piano roll asked for,
// each to a file or to the descriptor its name stands for (written in place). The files
// appear together once all are complete, or none does. Without --force an existing output is
// kept, decided by the write's last step, so a file that appears meanwhile is kept too.
class JobOutputs final : public SongOutputs {
 public:
  JobOutputs(const ConversionJob& job, const RenderSettings& render, const CliStreams& streams)
      : job_(job), render_(render), streams_(streams) {}

  std::vector<OutputReport> Write(Song& song, const std::string& savePath) override;

 private:
  const ConversionJob& job_;
  const RenderSettings& render_;
  const CliStreams& streams_;
};

}  // namespace pixorale::cli
