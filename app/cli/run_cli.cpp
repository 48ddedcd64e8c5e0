#include "app/cli/run_cli.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>

#include "app/cli/batch_reporter.h"
#include "app/cli/cli_options.h"
#include "app/cli/conversion_jobs.h"
#include "app/cli/convert_one.h"
#include "app/cli/effective_settings.h"
#include "app/cli/interrupt.h"
#include "app/cli/option_warnings.h"
#include "app/cli/parallel_for.h"
#include "app/cli/progress_line.h"
#include "app/cli/result_report.h"
#include "io/read_only_file.h"
#include "io/utf8_path.h"
#include "render/wav_render.h"

namespace pixorale::cli {
namespace {

// Writes the effective settings where the desktop program started here would read them.
bool SaveForDesktop(ConversionSettings settings) {
  std::error_code error;
  settings.settingsDirectory = Utf8FromPath(std::filesystem::current_path(error));
  if (error || settings.SaveSettings()) return !error;
  return false;
}

// The SoundFont a render will load, checked once for the whole batch; the path, or the
// error line.
std::pair<std::string, std::string> ChooseSoundFont(const HearAndSeeOptions& hear) {
  if (!hear.wav) return {};
  if (!hear.soundFont) {
    if (const std::optional<std::string> found = FindDefaultSoundFont()) return {*found, {}};
    return {{}, "no SoundFont found; install fluid-soundfont-gm or give --soundfont FILE"};
  }
  if (const IoResult opened = ReadOnlyFile().Open(*hear.soundFont); !opened) {
    return {{}, *hear.soundFont + ": " + DescribeIoResult(opened)};
  }
  return {*hear.soundFont, {}};
}

RenderSettings RenderSettingsFrom(const HearAndSeeOptions& hear, bool mayShowProgress) {
  RenderSettings render;
  SongVoices& voices = render.voices;
  voices.melody.program = hear.program.value_or(voices.melody.program);
  voices.melody.velocity = hear.velocity.value_or(voices.melody.velocity);
  voices.chords.program = hear.chordProgram.value_or(voices.chords.program);
  voices.chords.velocity = hear.chordVelocity.value_or(voices.chords.velocity);
  render.showProgress = mayShowProgress && isatty(STDERR_FILENO) != 0;
  return render;
}

}  // namespace

int RunCli(int argc, const char* const* argv) {
  const ParsedCommandLine parsed = ParseCommandLine(argc, argv, std::cout, std::cerr);
  if (!parsed.options) return parsed.exitStatus;
  const CliOptions& options = *parsed.options;
  RemoveTemporariesOnInterrupt();

  for (const std::string& warning : OptionWarnings(options.overrides)) {
    std::cerr << "pixorale-convert: warning: " << warning << '\n';
  }
  const LoadedSettings loaded = LoadEffectiveSettings(options);
  if (!loaded.error.empty()) {
    std::cerr << "pixorale-convert: " << loaded.error << '\n';
    return kExitUsage;
  }
  const ConversionSettings& settings = loaded.settings;
  const auto [soundFont, soundFontError] = ChooseSoundFont(options.hearAndSee);
  if (!soundFontError.empty()) {
    std::cerr << "pixorale-convert: " << soundFontError << '\n';
    return kExitUsage;
  }
  for (const std::string& warning : HearAndSeeWarnings(options.hearAndSee, settings)) {
    std::cerr << "pixorale-convert: warning: " << warning << '\n';
  }

  bool anyFailed = false;
  if (options.saveSettings && !SaveForDesktop(settings)) {
    std::cerr << ErrorLine(kSettingsFileName, "cannot be written") << '\n';
    anyFailed = true;
  }

  const auto start = std::chrono::steady_clock::now();
  const std::vector<ConversionJob> jobs = PlanConversionJobs(options);
  const bool showProgress = !options.quiet && jobs.size() > 1 && isatty(STDERR_FILENO) != 0;
  ProgressLine progress(std::cerr, showProgress, jobs.size());
  BatchReporter reporter(jobs, settings, options.report, std::cout, std::cerr, progress);
  const SnapSource snap{options.snap, options.seed};
  RenderSettings render = RenderSettingsFrom(options.hearAndSee, !options.quiet);
  render.soundFontPath = soundFont;
  render.pictureLimits.maxColumns = options.maxColumns.value_or(kDefaultMaxColumns);
  render.pictureLimits.maxPngPixels = options.maxArea.value_or(kDefaultMaxPngPixels);
  ParallelFor(jobs.size(), options.jobs.value_or(DefaultJobs()),
              [&](size_t i) { reporter.Complete(i, ConvertOne(jobs[i], settings, snap, render)); });
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  progress.Finish(reporter.converted(), reporter.failures(), elapsed.count());

  if (reporter.failures() > 0) anyFailed = true;
  return anyFailed ? kExitSomeFailed : kExitConverted;
}

}  // namespace pixorale::cli
