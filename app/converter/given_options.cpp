#include "app/converter/given_options.h"

#include <algorithm>
#include <filesystem>

#include "app/converter/output_conflicts.h"
#include "app/converter/output_descriptor.h"
#include "io/utf8_path.h"

namespace pixorale::converter {
namespace {

bool Given(const std::vector<GivenOption>& given, OptionId id) {
  return std::any_of(given.begin(), given.end(),
                     [id](const GivenOption& option) { return option.id == id; });
}

std::string Long(OptionId id) {
  return std::string(RowOf(id).LongName());
}

std::optional<Failure> ExcludedPair(const std::vector<GivenOption>& given) {
  for (const Exclusion& exclusion : Exclusions()) {
    if (!Given(given, exclusion.first) || !Given(given, exclusion.second)) continue;
    const std::string first = Long(exclusion.first);
    const std::string second = Long(exclusion.second);
    return Failure{FailureKind::kOptionConflict,
                   {},
                   exclusion.why.empty() ? first + " excludes " + second
                                         : first + " and " + second + " " + exclusion.why,
                   std::nullopt};
  }
  return std::nullopt;
}

// A preset's option gives way to one given on its own, and to one that excludes it.
bool Excluded(OptionId id, const std::vector<GivenOption>& given) {
  return std::any_of(Exclusions().begin(), Exclusions().end(), [&](const Exclusion& exclusion) {
    return (exclusion.first == id && Given(given, exclusion.second)) ||
           (exclusion.second == id && Given(given, exclusion.first));
  });
}

bool GivesWay(OptionId id, const std::vector<GivenOption>& given) {
  return Given(given, id) || Excluded(id, given);
}

// A preset's option that does nothing without a flag that an option given on its own turns
// off goes with it (the preset's chord voice with --no-chords), so it is not warned about.
bool Orphaned(OptionId id, const std::vector<GivenOption>& given) {
  const std::optional<OptionId> needed = RowOf(id).onlyWith;
  return needed && Excluded(*needed, given);
}

// Without a PNG decoder the limit on a PNG's area is still taken, only not offered.
bool Available(Needs needs, const BuildFeatures& build) {
  return needs == Needs::kPngInput || BuildHas(build, needs);
}

std::string Lacking(Needs needs) {
  return needs == Needs::kWavOutput ? "this build cannot write WAV files"
                                    : "this build cannot draw piano rolls";
}

Failure Conflict(std::string reason) {
  return {FailureKind::kOptionConflict, {}, std::move(reason), std::nullopt};
}

// What no single option or pair of options says: the options as a whole.
std::optional<Failure> CheckCombination(const ConverterOptions& options) {
  if (options.inputs.empty() && !options.saveSettings) {
    return Failure{FailureKind::kNoInput, {}, "no input picture given", std::nullopt};
  }
  const MusicalOptions& musical = options.musical;
  if (options.saveSettings && musical.extraScale) {
    return Conflict(
        "setting.set holds only the settings dialog's nine scales; --save-settings cannot "
        "keep --scale " +
        std::string(InfoOf(*musical.extraScale).optionName));
  }
  if (options.saveSettings && musical.key.value_or(0) != 0) {
    return Conflict("setting.set holds scales on C only; --save-settings cannot keep --key");
  }
  if (options.output && options.inputs.size() > 1) {
    return Conflict("-o/--output names the output of one input; use -d/--output-dir for several");
  }
  if (options.output && StandardStreamDescriptor(*options.output) == kStandardOutput &&
      options.report != ReportFormat::kNone) {
    return Conflict(
        "--info and --json print to standard output, which -o - fills with the MIDI file");
  }
  const HearAndSeeOptions& hear = options.hearAndSee;
  for (const auto& [file, filler] : {std::pair{hear.wav, "--wav - fills with the WAV file"},
                                     {hear.pianoRoll, "--piano-roll - fills with the PNG"}}) {
    if (file && StandardStreamDescriptor(*file) == kStandardOutput &&
        options.report != ReportFormat::kNone) {
      return Conflict(std::string("--info and --json print to standard output, which ") + filler);
    }
  }
  if ((hear.wav || hear.pianoRoll) && options.inputs.size() != 1) {
    return Conflict("--wav and --piano-roll name the files of one input");
  }
  if (hear.wav && hear.pianoRoll && SameNamedOutput(*hear.wav, *hear.pianoRoll)) {
    return Conflict("--wav and --piano-roll name the same file");
  }
  if (options.outputDirectory) {
    std::error_code error;
    if (!std::filesystem::is_directory(PathFromUtf8(*options.outputDirectory), error)) {
      return Failure{FailureKind::kOutputRefused, *options.outputDirectory,
                     "not a directory (-d/--output-dir)", std::nullopt};
    }
  }
  return std::nullopt;
}

}  // namespace

Result<ConverterOptions> OptionsFrom(std::vector<std::string> inputs,
                                     const std::vector<GivenOption>& given,
                                     const BuildFeatures& build) {
  if (std::optional<Failure> excluded = ExcludedPair(given)) return std::move(*excluded);
  ConverterOptions options;
  options.inputs = std::move(inputs);
  for (const GivenOption& option : given) {
    const Preset* preset = option.id == OptionId::kPreset ? FindPreset(option.value) : nullptr;
    if (preset == nullptr) continue;  // a name that is no preset's is refused below
    for (const auto& [id, value] : preset->options) {
      if (!GivesWay(id, given) && !Orphaned(id, given)) RowOf(id).store(options, value);
    }
  }
  for (const auto& [id, value] : given) {
    const OptionRow& row = RowOf(id);
    if (!row.store(options, value)) {
      return Failure{FailureKind::kOptionValue, Long(id), "'" + value + "' " + row.refusal,
                     std::nullopt};
    }
  }
  for (const GivenOption& option : given) {
    const Needs needs = RowOf(option.id).needs;
    if (!Available(needs, build)) {
      return Failure{FailureKind::kMissingFeature, Long(option.id), Lacking(needs), std::nullopt};
    }
  }
  if (std::optional<Failure> failure = CheckCombination(options)) return std::move(*failure);
  return options;
}

Result<std::vector<GivenOption>> ReadOptionWords(const std::vector<std::string>& words) {
  std::vector<GivenOption> given;
  for (size_t i = 0; i < words.size(); ++i) {
    const OptionRow* row = FindOption(words[i]);
    if (row == nullptr) {
      return Failure{FailureKind::kUsage, words[i], "not an option", std::nullopt};
    }
    if (Given(given, row->id)) {
      return Failure{FailureKind::kUsage, words[i], "given twice", std::nullopt};
    }
    if (row->kind == OptionKind::kFlag) {
      given.push_back({row->id, {}});
    } else if (i + 1 < words.size()) {
      given.push_back({row->id, words[++i]});
    } else {
      return Failure{FailureKind::kUsage, words[i], "needs a value", std::nullopt};
    }
  }
  return given;
}

}  // namespace pixorale::converter
