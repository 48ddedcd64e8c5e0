#include "app/cli/run_cli.h"

#include <chrono>
#include <filesystem>

#include "app/cli/batch_reporter.h"
#include "app/cli/cli_options.h"
#include "app/cli/interrupt.h"
#include "app/cli/parallel_for.h"
#include "app/cli/progress_line.h"
#include "app/cli/render_progress.h"
#include "app/converter/conversion_jobs.h"
#include "app/converter/convert_one.h"
#include "app/converter/effective_settings.h"
#include "app/converter/job_outputs.h"
#include "app/converter/option_warnings.h"
#include "app/converter/program_name.h"
#include "app/converter/result_report.h"
#include "io/read_only_file.h"
#include "io/utf8_path.h"
#include "render/render_on_demand.h"

namespace pixorale::cli {
namespace {

using converter::Failure;
using converter::FailureKind;

// Writes the effective settings where the desktop program started here would read them.
IoResult SaveForDesktop(ConversionSettings settings) {
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  if (error) return IoResult::Failure(IoStep::kOpen, error.value());
  settings.settingsDirectory = Utf8FromPath(here);
  return settings.SaveSettings();
}

// The SoundFont a render will load, checked once for the whole batch.
converter::Result<std::string> ChooseSoundFont(const converter::HearAndSeeOptions& hear) {
  if (!hear.wav) return std::string();
  if (!hear.soundFont) {
    if (const std::optional<std::string> found = FindDefaultSoundFont()) {
      return *found;
    }
    return Failure{FailureKind::kSoundFont,
                   {},
                   "no SoundFont found; install fluid-soundfont-gm or give --soundfont FILE",
                   std::nullopt};
  }
  if (const IoResult opened = ReadOnlyFile().Open(*hear.soundFont); !opened) {
    return Failure{FailureKind::kSoundFont, *hear.soundFont, DescribeIoResult(opened), opened};
  }
  return *hear.soundFont;
}

void PrintWarnings(std::ostream& err, const std::vector<converter::Warning>& warnings) {
  for (const converter::Warning& warning : warnings) {
    err << converter::WarningLine(warning) << '\n';
  }
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
  const converter::ConverterOptions& options = *parsed.options;
  RemoveTemporariesOnInterrupt();

  PrintWarnings(err, converter::OptionWarnings(options.overrides));
  const converter::Result<converter::LoadedSettings> loaded =
      converter::LoadEffectiveSettings(options);
  if (!loaded) {
    err << converter::ErrorLine(loaded.failure()) << '\n';
    return kExitUsage;
  }
  PrintWarnings(err, loaded->warnings);
  const ConversionSettings& settings = loaded->settings;
  const converter::Result<std::string> soundFont = ChooseSoundFont(options.hearAndSee);
  if (!soundFont) {
    err << converter::ErrorLine(soundFont.failure()) << '\n';
    return kExitUsage;
  }
  PrintWarnings(err, converter::HearAndSeeWarnings(options.hearAndSee, settings));

  bool anyFailed = false;
  if (options.saveSettings) {
    if (const IoResult saved = SaveForDesktop(settings); saved) {
      if (!options.quiet) err << converter::SavedSettingsLine(settings) << '\n';
    } else {
      err << converter::ErrorLine(
                 {FailureKind::kWriteFailed, kSettingsFileName, DescribeIoResult(saved), saved})
          << '\n';
      anyFailed = true;
    }
  }

  const auto start = std::chrono::steady_clock::now();
  const std::vector<converter::ConversionJob> jobs = converter::PlanConversionJobs(options);
  const bool showProgress = !options.quiet && jobs.size() > 1 && streams.errIsTerminal;
  ProgressLine progress(err, showProgress, jobs.size());
  const converter::UsedSettings used{settings, converter::ControlsFrom(options), options.snap,
                                     options.seed, loaded->sourcePath};
  if (options.report == converter::ReportFormat::kInfo) {
    streams.out << converter::SettingsLine(used) << '\n';
  }
  BatchReporter reporter(jobs, used, options.report, streams.out, err, progress);

  converter::BatchSettings batch = converter::BatchSettingsFor(options, settings);
  RenderProgress renderProgress(err, !options.quiet && streams.errIsTerminal);
  converter::OutputSettings& outputs = batch.outputs;
  outputs.soundFontPath = *soundFont;
  outputs.gainDb = options.hearAndSee.gainDb;
  outputs.renderers = {&RenderSongToWavOnDemand, &DrawPianoRollOnDemand};
  outputs.renderProgress = [&renderProgress](const std::string& path, double done) {
    renderProgress.Show(path, done);
  };
  outputs.beforeWriting = [&streams] { streams.out.flush(); };
  ParallelFor(jobs.size(), options.jobs.value_or(converter::DefaultJobs()), [&](size_t i) {
    converter::JobOutputs planned(jobs[i], batch.outputs);
    reporter.Complete(i, converter::ConvertOne(jobs[i], batch, planned));
  });
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  progress.Finish(reporter.converted(), reporter.failures(), elapsed.count());

  if (reporter.failures() > 0) anyFailed = true;
  return anyFailed ? kExitSomeFailed : kExitConverted;
}

}  // namespace pixorale::cli
