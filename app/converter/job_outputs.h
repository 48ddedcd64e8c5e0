#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/converter/conversion_jobs.h"
#include "app/converter/failure.h"
#include "app/converter/output_conflicts.h"
#include "app/song_summary.h"
#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale::converter {

// What makes the WAV and the piano roll. The shell chooses: the command-line converter loads
// its render module the first time one is asked for; the page makes neither.
struct Renderers {
  std::function<WavRenderResult(const Song&, std::ostream&, const WavRenderOptions&)> wav;
  std::function<RenderResult(const Song&, std::ostream&)> pianoRoll;
};

// The same for every input: the SoundFont for WAV files (chosen and checked once), the WAV's
// gain, the renderers, and what the shell does around writing.
struct OutputSettings {
  std::string soundFontPath;
  std::optional<double> gainDb;  // of the WAV; none: normalised
  Renderers renderers;
  // Now and then while a WAV is rendered: its path and the part done, 0 to 1; then once
  // with a part of -1 when the render ends.
  std::function<void(const std::string& path, double done)> renderProgress;
  // Just before the files are written, so that what the shell printed stays before bytes
  // sent to standard output.
  std::function<void()> beforeWriting;
};

// The converter's save step: its outputs were planned before the run, so it asks nothing and
// shows nothing (the shell reports the run's outcome); it keeps what the song held, for the
// reports.
class PlannedOutputs : public SaveStep {
 public:
  void RefusePicture() final {}
  std::optional<std::vector<OutputReport>> Save(Song& song) final;

  const SongSummary& summary() const { return summary_; }
  std::vector<Warning> TakeWarnings() { return std::move(warnings_); }

 protected:
  virtual std::vector<OutputReport> Write(Song& song) = 0;
  void Warn(Warning warning) { warnings_.push_back(std::move(warning)); }

 private:
  SongSummary summary_;
  std::vector<Warning> warnings_;
};

// Where one input's song goes: the MIDI file, then the WAV and the piano roll asked for,
// each to a file or to the descriptor its name stands for (written in place). The files
// appear together once all are complete, or none does. Without --force an existing output is
// kept, decided by the write's last step, so a file that appears meanwhile is kept too.
class JobOutputs final : public PlannedOutputs {
 public:
  JobOutputs(const ConversionJob& job, const OutputSettings& settings)
      : job_(job), settings_(settings) {}

 private:
  std::vector<OutputReport> Write(Song& song) override;

  const ConversionJob& job_;
  const OutputSettings& settings_;
};

// The first output that failed and why, as the failure of the input.
Failure OutputFailure(const ConversionJob& job, const std::vector<OutputReport>& outputs);

}  // namespace pixorale::converter
