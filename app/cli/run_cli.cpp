#include "app/cli/run_cli.h"

#include <chrono>
#include <filesystem>

#include "app/cli/batch_reporter.h"
#include "app/cli/cli_options.h"
#include "app/cli/conversion_jobs.h"
#include "app/cli/convert_one.h"
#include "app/cli/effective_settings.h"
#include "app/cli/interrupt.h"
#include "app/cli/option_warnings.h"
#include "app/cli/parallel_for.h"
#include "app/cli/program_name.h"
#include "app/cli/progress_line.h"
#include "app/cli/result_report.h"
#include "io/read_only_file.h"
#include "io/utf8_path.h"
#include "render/wav_render.h"

namespace pixorale::cli {
namespace {

// Writes the effective settings where the desktop program started here would read them.
IoResult SaveForDesktop(ConversionSettings settings) {
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  if (error) return IoResult::Failure(IoStep::kOpen, error.value());
  settings.settingsDirectory = Utf8FromPath(here);
  return settings.SaveSettings();
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

std::vector<const char*> ArgumentPointers(const std::vector<std::string>& arguments) {
  std::vector<const char*> pointers;
  pointers.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, const CliStreams& streams) {
  std::ostream& err = streams.err;
  const std::vector<const char*> argv = ArgumentPointers(arguments);
  const ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(arguments.size()), argv.data(), streams.out, err);
  if (!parsed.options) return parsed.exitStatus;
  const CliOptions& options = *parsed.options;
  RemoveTemporariesOnInterrupt();

  for (const std::string& warning : OptionWarnings(options.overrides)) {
    err << kMessagePrefix << "warning: " << warning << '\n';
  }
  const LoadedSettings loaded = LoadEffectiveSettings(options);
  if (!loaded.error.empty()) {
    err << kMessagePrefix << loaded.error << '\n';
    return kExitUsage;
  }
  const ConversionSettings& settings = loaded.settings;
  const auto [soundFont, soundFontError] = ChooseSoundFont(options.hearAndSee);
  if (!soundFontError.empty()) {
    err << kMessagePrefix << soundFontError << '\n';
    return kExitUsage;
  }
  for (const std::string& warning : HearAndSeeWarnings(options.hearAndSee, settings)) {
    err << kMessagePrefix << "warning: " << warning << '\n';
  }

  bool anyFailed = false;
  if (options.saveSettings) {
    if (const IoResult saved = SaveForDesktop(settings); saved) {
      if (!options.quiet) err << SavedSettingsLine(settings) << '\n';
    } else {
      err << ErrorLine(kSettingsFileName, DescribeIoResult(saved)) << '\n';
      anyFailed = true;
    }
  }

  const auto start = std::chrono::steady_clock::now();
  const std::vector<ConversionJob> jobs = PlanConversionJobs(options);
  const bool showProgress = !options.quiet && jobs.size() > 1 && streams.errIsTerminal;
  ProgressLine progress(err, showProgress, jobs.size());
  const UsedSettings used{settings, ControlsFrom(options), options.snap, options.seed,
                          loaded.sourcePath};
  if (options.report == ReportFormat::kInfo) streams.out << SettingsLine(used) << '\n';
  BatchReporter reporter(jobs, used, options.report, streams.out, err, progress);
  const BatchSettings batch = BatchSettingsFor(
      options, settings,
      {soundFont, !options.quiet && streams.errIsTerminal, options.hearAndSee.gainDb});
  ParallelFor(jobs.size(), options.jobs.value_or(DefaultJobs()),
              [&](size_t i) { reporter.Complete(i, ConvertOne(jobs[i], batch, streams)); });
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  progress.Finish(reporter.converted(), reporter.failures(), elapsed.count());

  if (reporter.failures() > 0) anyFailed = true;
  return anyFailed ? kExitSomeFailed : kExitConverted;
}

}  // namespace pixorale::cli
