#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "app/converter/converter_options.h"
#include "app/converter/effective_settings.h"
#include "app/converter/this_build.h"

namespace pixorale::converter {

// Every option, in the order of the table below: --help lists them in this order within
// their groups, --json reports their settings in it, and the page writes them in it.
enum class OptionId : uint8_t {
  kOutput,
  kOutputDirectory,
  kForce,
  kPreset,
  kScale,
  kKey,
  kSustain,
  kTempo,
  kTiming,
  kResolution,
  kChords,
  kNoChords,
  kRange,
  kNoRange,
  kMap,
  kColumns,
  kMaxSeconds,
  kDynamics,
  kContour,
  kMetre,
  kMelodic,
  kHarmony,
  kSongSeconds,
  kWav,
  kSoundFont,
  kGain,
  kPianoRoll,
  kProgram,
  kVelocity,
  kChordProgram,
  kChordVelocity,
  kSnap,
  kSeed,
  kSettings,
  kNoSettings,
  kSaveSettings,
  kJobs,
  kMaxColumns,
  kMaxArea,
  kQuiet,
  kInfo,
  kJson,
};

enum class OptionKind : uint8_t {
  kFlag,     // no value
  kWhole,    // a plain decimal whole number from `min` to `max`
  kDecimal,  // a plain decimal number, a point allowed, within `min` and `max`
  kChoice,   // one of `choices`
  kBounds,   // LOW:HIGH, each a whole number from `min` to `max`
  kText,     // a file or folder name
};

// The help's groups; the page shows the options it offers in the same groups.
enum class OptionGroup : uint8_t { kGeneral, kMusical, kHearAndSee };

// What an option needs of the build; without it the option is left out of the help and
// refused with one line.
enum class Needs : uint8_t { kNothing, kPngInput, kWavOutput, kPianoRollOutput };

// Words for a person, in the page's two languages.
struct Words {
  std::string en;
  std::string ja;
};

struct Choice {
  std::string value;  // as the option takes it
  Words label;        // as the page shows it
};

// A setting as the reports state it: none, on/off, a number, a word, a LOW:HIGH pair.
using ReportedValue =
    std::variant<std::monostate, bool, uint64_t, double, std::string, std::pair<uint8_t, uint8_t>>;

struct OptionRow {
  OptionId id;
  std::string names;  // "-j,--jobs": a short name first where there is one
  OptionKind kind = OptionKind::kFlag;
  std::string argument;  // what the help shows after the name: "N", "LOW:HIGH"
  OptionGroup group = OptionGroup::kGeneral;
  Needs needs = Needs::kNothing;
  // Limits of kWhole, kDecimal and kBounds, as the option reads them; `min` is excluded
  // where `minExcluded` (seconds above 0). Empty where there is none.
  std::string min;
  std::string max;
  bool minExcluded = false;
  std::vector<Choice> choices;  // of kChoice; the option may take more spellings
  std::string defaultValue;     // as the option would be given; empty: none
  std::string help;             // the help's words, the default among them
  std::string refusal;          // after the value: "is not a whole number from 1 to 9"
  // Parses the value and stores it; false when the value is not one the option takes.
  std::function<bool(ConverterOptions&, std::string_view)> store;
  // The name --json gives the setting, and its value in the run; one row per setting, the
  // others that set it (--no-chords) leave it empty.
  std::string reportKey;
  std::function<ReportedValue(const UsedSettings&)> reported;
  bool storedInSettingsFile = false;  // setting.set holds it
  bool generalMidiProgram = false;    // the value is a General MIDI program number
  // The flag without which the option does nothing (the chords' voice without --chords).
  std::optional<OptionId> onlyWith;
  // The page's control: its label; a row without one has none.
  std::optional<Words> pageLabel;

  // The long name: "--jobs".
  std::string_view LongName() const;
};

// Options that cannot be given together, and why in words when the names alone do not say.
struct Exclusion {
  OptionId first;
  OptionId second;
  std::string why;  // empty: "--first excludes --second"
};

// A name for many options at once. Options given on their own take precedence over the
// preset's, and so do those that exclude one of its options.
struct Preset {
  std::string name;
  Words label;
  std::vector<std::pair<OptionId, std::string>> options;
};

// True when the build can do what an option needs.
bool BuildHas(const BuildFeatures& build, Needs needs);

const std::vector<OptionRow>& OptionTable();
const OptionRow& RowOf(OptionId id);
const std::vector<Exclusion>& Exclusions();
const std::vector<Preset>& Presets();
const Preset* FindPreset(std::string_view name);
// The row whose names hold `name` ("-j" or "--jobs"); none when no option is called so.
const OptionRow* FindOption(std::string_view name);

}  // namespace pixorale::converter
