#include "app/cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <limits>
#include <thread>

#include "app/cli/option_values.h"
#include "app/ui_texts.h"

namespace pixorale::cli {
namespace {

constexpr const char* kProgram = "pixorale-convert";
// More worker threads than this would only cost memory: the work is per picture.
constexpr uint64_t kMaxJobs = 1024;
// The division word of a MIDI file keeps 15 bits for the ticks per quarter note.
constexpr uint64_t kMaxResolution = 0x7FFF;

// The help shows each option with its argument only; the exclusions are told in words.
class HelpFormatter final : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override {
    if (option->get_positional()) return CLI::Formatter::make_option_opts(option);
    const std::string& type = option->get_type_name();
    return type.empty() ? std::string() : " " + type;
  }
};

unsigned DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

// Breaks a comma-separated list into lines that fit beside the option column.
std::string WrappedList(const std::string& list) {
  constexpr size_t kWidth = 56;
  std::string wrapped;
  size_t lineStart = 0;
  size_t itemStart = 0;
  while (itemStart < list.size()) {
    size_t itemEnd = list.find(", ", itemStart);
    itemEnd = itemEnd == std::string::npos ? list.size() : itemEnd + 2;
    if (wrapped.size() - lineStart + (itemEnd - itemStart) > kWidth && wrapped.size() > lineStart) {
      wrapped.pop_back();  // the blank before the break
      wrapped += '\n';
      lineStart = wrapped.size();
    }
    wrapped.append(list, itemStart, itemEnd - itemStart);
    itemStart = itemEnd;
  }
  return wrapped;
}

CLI::Validator Decimal(uint64_t min, uint64_t max) {
  return CLI::Validator(
      [min, max](std::string& text) -> std::string {
        if (ParseDecimal(text, min, max)) return {};
        return "'" + text + "' is not a whole number from " + std::to_string(min) + " to " +
               std::to_string(max);
      },
      "");
}

CLI::Validator Scale() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (ParseScale(text)) return {};
        return "'" + text + "' is not a scale; use one of " + ScaleNameList() + " or 0 to 8";
      },
      "");
}

CLI::Validator Range() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (ParseRange(text)) return {};
        return "'" + text + "' is not LOW:HIGH with both from 0 to 255";
      },
      "");
}

std::string UsageComplaint(const std::string& message) {
  return std::string(kProgram) + ": " + message + "\nRun '" + kProgram +
         " --help' for more information.\n";
}

// Combinations that CLI11 cannot express; an empty result means the options fit together.
std::string CheckCombination(const CliOptions& options) {
  if (options.inputs.empty() && !options.saveSettings) return "no input picture given";
  if (options.output && options.inputs.size() > 1) {
    return "-o/--output names the output of one input; use -d/--output-dir for several";
  }
  if (options.output == "-" && options.report != ReportFormat::kNone) {
    return "--info and --json print to standard output, which -o - fills with the MIDI file";
  }
  if (options.outputDirectory) {
    std::error_code error;
    if (!std::filesystem::is_directory(*options.outputDirectory, error)) {
      return *options.outputDirectory + ": not a directory (-d/--output-dir)";
    }
  }
  return {};
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err) {
  CliOptions options;
  options.jobs = DefaultJobs();

  CLI::App app{"Turns 24-bit BMP pictures into Standard MIDI Files: one melody note per column.",
               kProgram};
  app.formatter(std::make_shared<HelpFormatter>());
  app.get_formatter()->column_width(26);
  app.failure_message(
      [](const CLI::App*, const CLI::Error& error) { return UsageComplaint(error.what()); });
  app.set_version_flag("--version", std::string(texts::kVersion), "Print the version and exit");
  app.footer(
      "Settings not given as options come from setting.set in the current directory\n"
      "(or the file of --settings), else from the defaults shown.\n"
      "Exit status: 0 every input converted, 1 an input or --save-settings failed,\n"
      "2 usage error.");

  app.add_option("INPUT", options.inputs, "24-bit BMP pictures to convert")->type_name("FILE");

  auto* output = app.add_option("-o,--output", options.output,
                                "Output file of the one input; - writes the MIDI bytes to\n"
                                "standard output (default: the input's path with .mid)")
                     ->type_name("FILE");
  auto* outputDirectory = app.add_option("-d,--output-dir", options.outputDirectory,
                                         "Directory for the outputs, each named after its input\n"
                                         "with .mid (default: beside each input)")
                              ->type_name("DIR");
  output->excludes(outputDirectory);
  app.add_flag("-f,--force", options.force,
               "Replace existing outputs (default: an existing output\n"
               "fails that input and is left alone)");

  std::string scale, sustain, tempo, timing, resolution, range, snap, seed, jobs;
  bool chordsFlag = false, noChordsFlag = false, noRangeFlag = false;
  bool infoFlag = false, jsonFlag = false;
  app.add_option(
         "--scale", scale,
         "Scale, by name or index 0 to 8 (default: c-major):\n" + WrappedList(ScaleNameList()))
      ->type_name("NAME|INDEX")
      ->check(Scale());
  app.add_option("--sustain", sustain, "Length of every note in 32nd notes (default: 16)")
      ->type_name("N")
      ->check(Decimal(0, std::numeric_limits<uint32_t>::max()));
  app.add_option("--tempo", tempo, "Tempo in beats per minute, 1 or more (default: 120)")
      ->type_name("BPM")
      ->check(Decimal(1, std::numeric_limits<uint32_t>::max()));
  app.add_option("--timing", timing, "Timing units: beat or ms (default: beat)")
      ->type_name("beat|ms")
      ->check(CLI::IsMember({"beat", "ms"}).description(""));
  app.add_option("--resolution", resolution,
                 "Ticks per quarter note, or the millisecond value in ms\n"
                 "timing; 1 to 32767 (default: 768)")
      ->type_name("N")
      ->check(Decimal(1, kMaxResolution));
  auto* chords = app.add_flag("--chords", chordsFlag, "Add a second track of chords");
  auto* noChords = app.add_flag("--no-chords", noChordsFlag, "Single notes only (default)");
  chords->excludes(noChords);
  auto* rangeOption = app.add_option("--range", range,
                                     "Rescale the pitches into LOW:HIGH, each 0 to 255; a HIGH\n"
                                     "not above LOW means no range (default: no range)")
                          ->type_name("LOW:HIGH")
                          ->check(Range());
  auto* noRange = app.add_flag("--no-range", noRangeFlag, "Keep the pitches as they are (default)");
  rangeOption->excludes(noRange);

  app.add_option("--settings", options.settingsFile,
                 "Read the settings from FILE instead of ./setting.set")
      ->type_name("FILE");
  app.add_flag("--save-settings", options.saveSettings,
               "Write the effective settings to ./setting.set, where the\n"
               "desktop program reads them; inputs are then optional");

  app.add_option("--snap", snap,
                 "Move out-of-scale pitches a random way, up or down\n"
                 "(default: random)")
      ->type_name("random|up|down")
      ->check(CLI::IsMember({"random", "up", "down"}).description(""));
  app.add_option("--seed", seed,
                 "Draw the random directions from std::mt19937_64 seeded\n"
                 "with N: the same picture, settings and seed give the\n"
                 "same file (default: the system's random generator)")
      ->type_name("N")
      ->check(Decimal(0, std::numeric_limits<uint64_t>::max()));

  app.add_option("-j,--jobs", jobs,
                 "Convert N inputs at a time, 1 to " + std::to_string(kMaxJobs) +
                     "\n(default: the number of cores, " + std::to_string(options.jobs) + ")")
      ->type_name("N")
      ->check(Decimal(1, kMaxJobs));
  auto* quiet = app.add_flag("-q,--quiet", options.quiet,
                             "Print nothing but errors (default: a progress line for\n"
                             "batches when standard error is a terminal)");
  auto* info = app.add_flag("--info", infoFlag,
                            "Print a line per input: output, notes, tracks, length\n"
                            "in ticks and, in beat timing, in seconds");
  auto* json = app.add_flag("--json", jsonFlag,
                            "Print the same as one JSON object per input, failed\n"
                            "inputs included");
  info->excludes(json);
  quiet->excludes(info);
  quiet->excludes(json);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return {std::nullopt, status == 0 ? kExitConverted : kExitUsage};
  }

  if (!scale.empty()) options.overrides.scaleIndex = ParseScale(scale);
  if (!sustain.empty()) {
    options.overrides.sustain = static_cast<uint32_t>(*ParseDecimal(sustain, 0, UINT32_MAX));
  }
  if (!tempo.empty()) {
    options.overrides.tempo = static_cast<uint32_t>(*ParseDecimal(tempo, 1, UINT32_MAX));
  }
  if (!timing.empty()) options.overrides.timingMode = timing == "ms" ? 1 : 0;
  if (!resolution.empty()) {
    options.overrides.resolution =
        static_cast<uint16_t>(*ParseDecimal(resolution, 1, kMaxResolution));
  }
  if (chordsFlag) options.overrides.chordMode = 1;
  if (noChordsFlag) options.overrides.chordMode = 0;
  if (!range.empty()) options.overrides.range = ParseRange(range);
  if (noRangeFlag) options.overrides.range = std::pair<uint8_t, uint8_t>{0, 255};
  if (snap == "up") options.snap = SnapMode::kUp;
  if (snap == "down") options.snap = SnapMode::kDown;
  if (!seed.empty()) options.seed = ParseDecimal(seed, 0, UINT64_MAX);
  if (!jobs.empty()) options.jobs = static_cast<unsigned>(*ParseDecimal(jobs, 1, kMaxJobs));
  if (infoFlag) options.report = ReportFormat::kInfo;
  if (jsonFlag) options.report = ReportFormat::kJson;

  if (const std::string complaint = CheckCombination(options); !complaint.empty()) {
    err << UsageComplaint(complaint);
    return {std::nullopt, kExitUsage};
  }
  return {std::move(options), kExitConverted};
}

}  // namespace pixorale::cli
