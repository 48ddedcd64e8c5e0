#include "app/cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <limits>
#include <thread>

#include "app/cli/build_features.h"
#include "app/cli/option_values.h"
#include "app/cli/output_conflicts.h"
#include "app/cli/output_stream.h"
#include "app/cli/program_name.h"
#include "app/conversion_settings.h"
#include "app/ui_texts.h"
#include "convert/column_resample.h"
#include "convert/scale_table.h"
#include "convert/voices.h"
#include "image/decode_limits.h"
#include "io/utf8_path.h"
#include "midi/song.h"
#include "render/wav_render.h"

namespace pixorale::cli {
namespace {

// More worker threads than this would only cost memory: the work is per picture.
constexpr uint64_t kMaxJobs = 1024;

// The help shows each option with its argument only; the exclusions are told in words.
class HelpFormatter final : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override {
    if (option->get_positional()) return CLI::Formatter::make_option_opts(option);
    const std::string& type = option->get_type_name();
    return type.empty() ? std::string() : " " + type;
  }
};

}  // namespace

std::string PictureKinds(const BuildFeatures& build, const std::string& last) {
  std::vector<std::string> kinds = {"BMP"};
  if (build.pngInput) kinds.emplace_back("PNG");
  if (build.jpegInput) kinds.emplace_back("JPEG");
  std::string list = kinds.front();
  for (size_t i = 1; i < kinds.size(); ++i) {
    list += (i + 1 == kinds.size() ? last : ", ") + kinds[i];
  }
  return list;
}

BuildFeatures ThisBuild() {
  return kBuildFeatures;
}

unsigned DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

namespace {

ConversionSettings Defaults() {
  ConversionSettings settings;
  settings.InstallDefaults();
  return settings;
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

// Each value is parsed once, by the option's check, which stores it on success; a refusal
// comes back as CLI11's usage error with the text given here.
template <typename Parse>
CLI::Validator Storing(Parse parse, std::string refusal) {
  return CLI::Validator(
      [parse, refusal](std::string& text) -> std::string {
        return parse(text) ? std::string() : "'" + text + "' " + refusal;
      },
      "");
}

template <typename T>
CLI::Validator DecimalInto(std::optional<T>& target, uint64_t min, uint64_t max) {
  return Storing(
      [&target, min, max](const std::string& text) {
        const std::optional<uint64_t> value = ParseDecimal(text, min, max);
        if (value) target = static_cast<T>(*value);
        return value.has_value();
      },
      "is not a whole number from " + std::to_string(min) + " to " + std::to_string(max));
}

// An option whose value its check parses and stores.
CLI::Option* AddParsedOption(CLI::App& app, const std::string& name,
                             const std::string& description) {
  return app.add_option(
      name, [](const CLI::results_t&) { return true; }, description);
}

std::string UsageComplaint(const std::string& message) {
  return std::string(kMessagePrefix) + message + "\nRun '" + std::string(kProgram) +
         " --help' for more information.\n";
}

void AddOutputOptions(CLI::App& app, CliOptions& options, const BuildFeatures& build) {
  app.add_option("INPUT", options.inputs, "Pictures to convert: " + PictureKinds(build, " or "))
      ->type_name("FILE");
  auto* output = app.add_option("-o,--output", options.output,
                                "Output file of the one input; - (or /dev/stdout) writes\n"
                                "the MIDI bytes to standard output (default: the input's\n"
                                "path with .mid)")
                     ->type_name("FILE");
  auto* outputDirectory = app.add_option("-d,--output-dir", options.outputDirectory,
                                         "Directory for the outputs, each named after its input\n"
                                         "with .mid (default: beside each input)")
                              ->type_name("DIR");
  output->excludes(outputDirectory);
  app.add_flag("-f,--force", options.force,
               "Replace existing outputs (default: an existing output\n"
               "fails that input and is left alone)");
}

void AddSettingOptions(CLI::App& app, CliOptions& options) {
  const ConversionSettings defaults = Defaults();
  SettingOverrides& overrides = options.overrides;
  constexpr uint64_t kMaxU32 = std::numeric_limits<uint32_t>::max();

  MusicalOptions& musical = options.musical;
  AddParsedOption(app, "--scale",
                  "Scale, by name or index 0 to " + std::to_string(kScaleCount - 1) +
                      " (default: " + std::string(kScales[defaults.scaleIndex].optionName) +
                      "):\n" + WrappedList(ScaleNameList() + ", " + ExtraScaleNameList()) +
                      "\n(setting.set cannot hold the last five)")
      ->type_name("NAME|INDEX")
      ->check(Storing(
          [&overrides, &musical](const std::string& text) {
            overrides.scaleIndex = ParseScale(text);
            musical.extraScale = ParseExtraScale(text);
            return overrides.scaleIndex.has_value() || musical.extraScale.has_value();
          },
          "is not a scale; use one of " + ScaleNameList() + ", " + ExtraScaleNameList() +
              " or 0 to " + std::to_string(kScaleCount - 1)));
  AddParsedOption(
      app, "--sustain",
      "Length of every note in 32nd notes (default: " + std::to_string(defaults.sustain) + ")")
      ->type_name("N")
      ->check(DecimalInto(overrides.sustain, 0, kMaxU32));
  AddParsedOption(
      app, "--tempo",
      "Tempo in beats per minute, 1 or more (default: " + std::to_string(defaults.tempo) + ")")
      ->type_name("BPM")
      ->check(DecimalInto(overrides.tempo, 1, kMaxU32));
  AddParsedOption(app, "--timing", "Timing units: beat or ms (default: beat)")
      ->type_name("beat|ms")
      ->check(Storing(
          [&overrides](const std::string& text) {
            if (text != "beat" && text != "ms") return false;
            overrides.timingMode = text == "ms" ? 1 : 0;
            return true;
          },
          "is not beat or ms"));
  AddParsedOption(app, "--resolution",
                  "Ticks per quarter note, or the millisecond value in ms\n"
                  "timing; 1 to " +
                      std::to_string(kMaxDivision) +
                      " (default: " + std::to_string(defaults.resolution) + ")")
      ->type_name("N")
      ->check(DecimalInto(overrides.resolution, 1, kMaxDivision));
  auto* chords = app.add_flag_callback(
      "--chords", [&overrides] { overrides.chordMode = 1; }, "Add a second track of chords");
  auto* noChords = app.add_flag_callback(
      "--no-chords", [&overrides] { overrides.chordMode = 0; }, "Single notes only (default)");
  chords->excludes(noChords);
  auto* range = AddParsedOption(app, "--range",
                                "Rescale the pitches into LOW:HIGH, each 0 to 255; a HIGH\n"
                                "not above LOW means no range (default: no range)")
                    ->type_name("LOW:HIGH")
                    ->check(Storing(
                        [&overrides](const std::string& text) {
                          overrides.range = ParseRange(text);
                          overrides.rangeGivenEmpty = IsEmptyRange(text);
                          return overrides.range.has_value();
                        },
                        "is not LOW:HIGH with both from 0 to 255"));
  auto* noRange = app.add_flag_callback(
      "--no-range",
      [&overrides] {
        overrides.range = std::pair<uint8_t, uint8_t>{kNoRangeLow, kNoRangeHigh};
      },
      "Keep the pitches as they are (default)");
  range->excludes(noRange);

  auto* settingsFile = app.add_option("--settings", options.settingsFile,
                                      "Read the settings from FILE instead of ./setting.set")
                           ->type_name("FILE");
  app.add_flag("--no-settings", options.noSettings,
               "Use the defaults shown, whatever ./setting.set holds")
      ->excludes(settingsFile);
  app.add_flag("--save-settings", options.saveSettings,
               "Write the effective settings to ./setting.set, where the\n"
               "desktop program reads them; inputs are then optional");
}

// ", WAV and piano roll": the files besides the MIDI file that the build can make.
std::string MadeFiles(const BuildFeatures& build) {
  if (build.wavOutput && build.pianoRollOutput) return ", WAV and piano roll";
  if (build.wavOutput) return ", WAV";
  return build.pianoRollOutput ? ", piano roll" : "";
}

void AddRunOptions(CLI::App& app, CliOptions& options, const BuildFeatures& build) {
  AddParsedOption(app, "--snap",
                  "Move out-of-scale pitches a random way, up or down\n"
                  "(default: random)")
      ->type_name("random|up|down")
      ->check(Storing(
          [&options](const std::string& text) {
            if (text == "random") options.snap = SnapMode::kRandom;
            if (text == "up") options.snap = SnapMode::kUp;
            if (text == "down") options.snap = SnapMode::kDown;
            return text == "random" || text == "up" || text == "down";
          },
          "is not random, up or down"));
  AddParsedOption(app, "--seed",
                  "Draw the random directions from std::mt19937_64 seeded\n"
                  "with N: the same picture, settings and seed give the\n"
                  "same file (default: the system's random generator)")
      ->type_name("N")
      ->check(DecimalInto(options.seed, 0, std::numeric_limits<uint64_t>::max()));

  AddParsedOption(app, "-j,--jobs",
                  "Convert N inputs at a time, 1 to " + std::to_string(kMaxJobs) +
                      "\n(default: the number of cores, " + std::to_string(DefaultJobs()) + ")")
      ->type_name("N")
      ->check(DecimalInto(options.jobs, 1, kMaxJobs));
  AddParsedOption(app, kMaxColumnsOption,
                  "Refuse pictures wider than N columns; a conversion\n"
                  "holds about 130 bytes a column (default: " +
                      std::to_string(kDefaultMaxColumns) + ")")
      ->type_name("N")
      ->check(DecimalInto(options.maxColumns, 1, std::numeric_limits<uint32_t>::max()));
  AddParsedOption(app, kMaxAreaOption,
                  "Refuse PNG pictures of more than N pixels, whose rows\n"
                  "must all be decoded (default: " +
                      std::to_string(kDefaultMaxPngPixels) + ")")
      ->type_name("N")
      // Without a PNG decoder the limit is still taken, but not offered.
      ->group(build.pngInput ? "Options" : "")
      ->check(DecimalInto(options.maxArea, 1, std::numeric_limits<uint64_t>::max()));
  auto* quiet = app.add_flag("-q,--quiet", options.quiet,
                             "Print nothing but errors and warnings (default: a\n"
                             "progress line for batches when standard error is a\n"
                             "terminal)");
  auto* info = app.add_flag_callback(
      "--info", [&options] { options.report = ReportFormat::kInfo; },
      "Print a line per input: output, notes, tracks, length\n"
      "in ticks and in seconds, pitch range" +
          MadeFiles(build));
  auto* json = app.add_flag_callback(
      "--json", [&options] { options.report = ReportFormat::kJson; },
      "Print the same as one JSON object per input, failed\n"
      "inputs included");
  info->excludes(json);
  quiet->excludes(info);
  quiet->excludes(json);
}

void AddMusicalOptions(CLI::App& app, CliOptions& options) {
  const std::string group = "Make it musical";
  MusicalOptions& musical = options.musical;
  auto* columns =
      AddParsedOption(app, "--columns",
                      "Resample the picture to N columns, 1 to " +
                          std::to_string(kMaxResampledColumns) +
                          ", each the\nmean of the columns it stands for (default: one note\n"
                          "per column)")
          ->type_name("N")
          ->group(group)
          ->check(DecimalInto(musical.columns, 1, kMaxResampledColumns));
  AddParsedOption(app, "--max-seconds",
                  "As many columns as fit in S seconds: the song never\nlasts longer")
      ->type_name("S")
      ->group(group)
      ->check(Storing(
          [&musical](const std::string& text) {
            musical.maxSeconds = ParseSeconds(text);
            return musical.maxSeconds.has_value();
          },
          "is not a number of seconds above 0"))
      ->excludes(columns);
  AddParsedOption(app, "--key", "Root the scale on K: C, C#/Db, D ... B (default: C)")
      ->type_name("K")
      ->group(group)
      ->check(Storing(
          [&musical](const std::string& text) {
            musical.key = ParseKey(text);
            return musical.key.has_value();
          },
          "is not a key; use C, C#, Db, D ... B"));
  AddParsedOption(app, "--map",
                  "Take every red byte r to LOW + r * (HIGH - LOW) / 255,\n"
                  "0 <= LOW < HIGH <= 127, whatever the picture's own reds;\n"
                  "instead of --range")
      ->type_name("LOW:HIGH")
      ->group(group)
      ->check(Storing(
          [&musical](const std::string& text) {
            musical.map = ParsePitchMap(text);
            return musical.map.has_value();
          },
          "is not LOW:HIGH with 0 <= LOW < HIGH <= 127"));
  app.add_flag("--dynamics", musical.dynamics,
               "Loudness of each melody note from the green byte of\nits pixel: 40 to 127")
      ->group(group);
}

// An option for a feature the build lacks is still parsed, so that it can be refused plainly,
// but left out of the help.
void AddHearAndSeeOptions(CLI::App& app, CliOptions& options, const BuildFeatures& build) {
  const std::string group = "Hear and see";
  const std::string wavGroup = build.wavOutput ? group : "";
  const std::string pianoRollGroup = build.pianoRollOutput ? group : "";
  HearAndSeeOptions& hear = options.hearAndSee;
  app.add_option("--wav", hear.wav,
                 "Also play the song through a General MIDI SoundFont\n"
                 "into FILE: 44.1 kHz 16-bit stereo WAV, as long as the\n"
                 "song plus a " +
                     std::to_string(static_cast<int>(kReleaseTailSeconds)) +
                     " s release tail (one input only)")
      ->type_name("FILE")
      ->group(wavGroup);
  app.add_option("--soundfont", hear.soundFont,
                 "SoundFont for --wav (default: fluid-soundfont-gm's\n"
                 "/usr/share/sounds/sf2/default-GM.sf2)")
      ->type_name("FILE")
      ->group(wavGroup);
  AddParsedOption(app, "--gain",
                  "Play the WAV at a fixed gain of DB decibels, -60 to\n"
                  "+24, written as it is rendered (default: normalised\n"
                  "so that its loudest sample is -1 dBFS)")
      ->type_name("DB")
      ->group(wavGroup)
      ->check(Storing(
          [&hear](const std::string& text) {
            hear.gainDb = ParseGainDb(text);
            return hear.gainDb.has_value();
          },
          "is not a gain in dB from -60 to +24"));
  app.add_option("--piano-roll", hear.pianoRoll,
                 "Also draw the notes into FILE as a PNG: time across,\n"
                 "pitch up, melody and chords in two colours (one input\n"
                 "only)")
      ->type_name("FILE")
      ->group(pianoRollGroup);
  const SongVoices defaults;
  const auto voiceOption = [&](const std::string& name, const std::string& what,
                               std::optional<uint8_t>& target, uint64_t min, uint8_t fallback) {
    AddParsedOption(app, name, what + "\n(default: " + std::to_string(fallback) + ")")
        ->type_name("N")
        ->group(group)
        ->check(DecimalInto(target, min, 127));
  };
  voiceOption("--program", "General MIDI program of the melody, 0 to 127", hear.program, 0,
              defaults.melody.program);
  // A note-on with velocity 0 is a note-off: the notes would make no sound.
  voiceOption("--velocity", "Loudness of the melody's notes, 1 to 127", hear.velocity, 1,
              defaults.melody.velocity);
  voiceOption("--chord-program", "General MIDI program of the chords, 0 to 127", hear.chordProgram,
              0, defaults.chords.program);
  voiceOption("--chord-velocity", "Loudness of the chords' notes, 1 to 127", hear.chordVelocity, 1,
              defaults.chords.velocity);
}

// An option for a feature the build lacks; empty when there is none.
std::string LackingFeature(const CliOptions& options, const BuildFeatures& build) {
  const HearAndSeeOptions& hear = options.hearAndSee;
  if (hear.wav && !build.wavOutput) return "--wav: this build cannot write WAV files";
  if (hear.soundFont && !build.wavOutput) return "--soundfont: this build cannot write WAV files";
  if (hear.pianoRoll && !build.pianoRollOutput) {
    return "--piano-roll: this build cannot draw piano rolls";
  }
  return {};
}

// Combinations that CLI11 cannot express; an empty result means the options fit together.
std::string CheckCombination(const CliOptions& options) {
  if (options.inputs.empty() && !options.saveSettings) return "no input picture given";
  const MusicalOptions& musical = options.musical;
  if (musical.map && options.overrides.range) {
    return "--map and --range both say how reds become pitches; give one";
  }
  if (options.saveSettings && musical.extraScale) {
    return "setting.set holds only the settings dialog's nine scales; --save-settings cannot "
           "keep --scale " +
           std::string(InfoOf(*musical.extraScale).optionName);
  }
  if (options.saveSettings && musical.key.value_or(0) != 0) {
    return "setting.set holds scales on C only; --save-settings cannot keep --key";
  }
  if (options.output && options.inputs.size() > 1) {
    return "-o/--output names the output of one input; use -d/--output-dir for several";
  }
  if (options.output && StandardStreamDescriptor(*options.output) == kStandardOutput &&
      options.report != ReportFormat::kNone) {
    return "--info and --json print to standard output, which -o - fills with the MIDI file";
  }
  const HearAndSeeOptions& hear = options.hearAndSee;
  for (const auto& [file, filler] : {std::pair{hear.wav, "--wav - fills with the WAV file"},
                                     {hear.pianoRoll, "--piano-roll - fills with the PNG"}}) {
    if (file && StandardStreamDescriptor(*file) == kStandardOutput &&
        options.report != ReportFormat::kNone) {
      return std::string("--info and --json print to standard output, which ") + filler;
    }
  }
  if ((hear.wav || hear.pianoRoll) && options.inputs.size() != 1) {
    return "--wav and --piano-roll name the files of one input";
  }
  if (hear.wav && hear.pianoRoll && SameNamedOutput(*hear.wav, *hear.pianoRoll)) {
    return "--wav and --piano-roll name the same file";
  }
  if (options.outputDirectory) {
    std::error_code error;
    if (!std::filesystem::is_directory(PathFromUtf8(*options.outputDirectory), error)) {
      return *options.outputDirectory + ": not a directory (-d/--output-dir)";
    }
  }
  return {};
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err, const BuildFeatures& build) {
  CliOptions options;

  CLI::App app{"Turns pictures (" + PictureKinds(build, ", ") +
                   ") into Standard MIDI Files: one melody\n"
                   "note per column.",
               std::string(kProgram)};
  // "/name" options (CLI11's default on Windows) would take absolute paths for options.
  app.allow_windows_style_options(false);
  app.formatter(std::make_shared<HelpFormatter>());
  app.get_formatter()->column_width(26);
  app.failure_message(
      [](const CLI::App*, const CLI::Error& error) { return UsageComplaint(error.what()); });
  app.set_version_flag("--version", std::string(texts::kVersion), "Print the version and exit");
  app.footer(
      "Settings not given as options come from setting.set in the current directory\n"
      "(or the file of --settings), else from the defaults shown.\n"
      "Exit status: 0 every input converted, 1 an input or --save-settings failed,\n"
      "2 usage error, 130 or 143 interrupted (SIGINT, SIGTERM)." +
      std::string(build.wavOutput ? ""
                                  : "\nThis build does not play songs. To hear a picture, open "
                                    "the Pixorale web page\n(web/ in the source; bash "
                                    "scripts/serve-web.sh)."));

  AddOutputOptions(app, options, build);
  AddSettingOptions(app, options);
  AddRunOptions(app, options, build);
  AddMusicalOptions(app, options);
  AddHearAndSeeOptions(app, options, build);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return {std::nullopt, status == 0 ? kExitConverted : kExitUsage};
  }

  // What the build lacks is not a usage mistake that the help would explain: one line says so.
  if (const std::string lacking = LackingFeature(options, build); !lacking.empty()) {
    err << kMessagePrefix << lacking << '\n';
    return {std::nullopt, kExitUsage};
  }
  if (const std::string complaint = CheckCombination(options); !complaint.empty()) {
    err << UsageComplaint(complaint);
    return {std::nullopt, kExitUsage};
  }
  return {std::move(options), kExitConverted};
}

}  // namespace pixorale::cli
