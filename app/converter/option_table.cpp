#include "app/converter/option_table.h"

#include <algorithm>
#include <limits>

#include "app/conversion_settings.h"
#include "app/converter/option_values.h"
#include "app/converter/scale_names.h"
#include "app/ui_texts.h"
#include "convert/column_resample.h"
#include "convert/musical_reading.h"
#include "convert/voices.h"
#include "image/decode_limits.h"
#include "midi/song.h"
#include "midi/song_time.h"
#include "render/loudness.h"
#include "render/wav_format.h"
#include "render/wav_render.h"

namespace pixorale::converter {
namespace {

constexpr uint64_t kMaxU32 = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();
// More worker threads than this would only cost memory: the work is per picture.
constexpr uint64_t kMaxJobs = 1024;

std::string Number(uint64_t value) {
  return std::to_string(value);
}

// "-60" and "+24" as the help writes decibels.
std::string SignedText(double value) {
  const auto whole = static_cast<long long>(value);
  return (whole > 0 ? "+" : "") + std::to_string(whole);
}

// Breaks words into lines that fit beside the help's option column.
std::string Wrapped(const std::string& words) {
  constexpr size_t kWidth = 56;
  std::string wrapped;
  size_t lineStart = 0;
  size_t wordStart = 0;
  while (wordStart < words.size()) {
    size_t wordEnd = words.find(' ', wordStart);
    wordEnd = wordEnd == std::string::npos ? words.size() : wordEnd + 1;
    if (wrapped.size() - lineStart + (wordEnd - wordStart) > kWidth + 1 &&
        wrapped.size() > lineStart) {
      wrapped.back() = '\n';  // the blank before the break
      lineStart = wrapped.size();
    }
    wrapped.append(words, wordStart, wordEnd - wordStart);
    wordStart = wordEnd;
  }
  return wrapped;
}

OptionRow Row(OptionId id, std::string names, OptionKind kind, std::string argument = {}) {
  OptionRow row;
  row.id = id;
  row.names = std::move(names);
  row.kind = kind;
  row.argument = std::move(argument);
  return row;
}

OptionRow Flag(OptionId id, std::string names, std::function<void(ConverterOptions&)> set) {
  OptionRow row = Row(id, std::move(names), OptionKind::kFlag);
  row.store = [set = std::move(set)](ConverterOptions& options, std::string_view) {
    set(options);
    return true;
  };
  return row;
}

// A whole number from `min` to `max` into the optional field `Field` reaches.
template <typename Field>
OptionRow Whole(OptionId id, std::string names, std::string argument, uint64_t min, uint64_t max,
                Field field) {
  OptionRow row = Row(id, std::move(names), OptionKind::kWhole, std::move(argument));
  row.min = Number(min);
  row.max = Number(max);
  row.refusal = "is not a whole number from " + row.min + " to " + row.max;
  row.store = [min, max, field](ConverterOptions& options, std::string_view text) {
    const std::optional<uint64_t> value = ParseDecimal(text, min, max);
    if (!value) return false;
    auto& target = field(options);
    target = static_cast<typename std::remove_reference_t<decltype(target)>::value_type>(*value);
    return true;
  };
  return row;
}

// A file or folder name into the optional field `Field` reaches.
template <typename Field>
OptionRow Name(OptionId id, std::string names, std::string argument, Field field) {
  OptionRow row = Row(id, std::move(names), OptionKind::kText, std::move(argument));
  row.store = [field](ConverterOptions& options, std::string_view text) {
    field(options) = std::string(text);
    return true;
  };
  return row;
}

std::vector<Choice> Plain(std::initializer_list<std::string_view> values) {
  std::vector<Choice> choices;
  for (const std::string_view value : values) {
    choices.push_back({std::string(value), {std::string(value), std::string(value)}});
  }
  return choices;
}

ReportedValue Bounds(uint8_t low, uint8_t high) {
  return std::pair<uint8_t, uint8_t>{low, high};
}

std::string ScaleName(const UsedSettings& used) {
  if (used.controls.extraScale) return std::string(InfoOf(*used.controls.extraScale).optionName);
  const uint8_t index = used.settings.scaleIndex;
  if (index < kScaleCount) return std::string(kScales[index].optionName);
  return "none (index " + std::to_string(index) + ")";
}

void AddOutputRows(std::vector<OptionRow>& rows) {
  OptionRow output = Name(
      OptionId::kOutput, "-o,--output", "FILE",
      [](ConverterOptions & o) -> auto& { return o.output; });
  output.help =
      "Output file of the one input; - (or /dev/stdout) writes\n"
      "the MIDI bytes to standard output (default: the input's\n"
      "path with .mid)";
  rows.push_back(std::move(output));

  OptionRow directory = Name(
      OptionId::kOutputDirectory, "-d,--output-dir", "DIR",
      [](ConverterOptions & o) -> auto& { return o.outputDirectory; });
  directory.help =
      "Directory for the outputs, each named after its input\n"
      "with .mid (default: beside each input)";
  rows.push_back(std::move(directory));

  OptionRow force =
      Flag(OptionId::kForce, "-f,--force", [](ConverterOptions& o) { o.force = true; });
  force.help =
      "Replace existing outputs (default: an existing output\n"
      "fails that input and is left alone)";
  rows.push_back(std::move(force));
}

void AddPresetRow(std::vector<OptionRow>& rows) {
  OptionRow preset = Row(OptionId::kPreset, "--preset", OptionKind::kChoice, "NAME");
  preset.group = OptionGroup::kMusical;
  std::string names;
  for (const Preset& each : Presets()) {
    preset.choices.push_back({each.name, each.label});
    if (!names.empty()) names += ", ";
    names += each.name;
  }
  preset.refusal = "is not a preset; use " + names;
  // The preset's own options are applied once every option given is known (OptionsFrom);
  // here its name is only checked.
  preset.store = [](ConverterOptions&, std::string_view text) {
    return FindPreset(text) != nullptr;
  };
  rows.push_back(std::move(preset));
}

// The preset's help spells out each preset's options, so it is written once the rows are.
void DescribePresets(std::vector<OptionRow>& rows) {
  const auto longName = [&rows](OptionId id) {
    return std::find_if(rows.begin(), rows.end(), [id](const OptionRow& r) { return r.id == id; })
        ->LongName();
  };
  std::string meanings;
  for (const Preset& each : Presets()) {
    std::string options;
    for (const auto& [id, value] : each.options) {
      if (!options.empty()) options += ' ';
      options.append(longName(id));
      if (!value.empty()) options.append(" ").append(value);
    }
    if (!meanings.empty()) meanings += ", ";
    meanings.append(each.name)
        .append(" (")
        .append(options.empty() ? "the desktop program's conversion" : options)
        .append(")");
  }
  auto preset = std::find_if(rows.begin(), rows.end(),
                             [](const OptionRow& r) { return r.id == OptionId::kPreset; });
  preset->help =
      Wrapped("Many settings at once: " + meanings + "; options given beside it take precedence");
}

void AddSettingRows(std::vector<OptionRow>& rows, const ConversionSettings& defaults) {
  OptionRow scale = Row(OptionId::kScale, "--scale", OptionKind::kChoice, "NAME|INDEX");
  for (size_t i = 0; i < kScales.size(); ++i) {
    scale.choices.push_back({std::string(kScales[i].optionName), ScaleWords(i)});
  }
  for (size_t i = 0; i < kExtraScales.size(); ++i) {
    scale.choices.push_back(
        {std::string(kExtraScales[i].optionName), ScaleWords(kScales.size() + i)});
  }
  scale.defaultValue = std::string(kScales[defaults.scaleIndex].optionName);
  scale.help = "Scale, by name or index 0 to " + Number(kScaleCount - 1) +
               " (default: " + scale.defaultValue + "):\n" +
               Wrapped(ScaleNameList() + ", " + ExtraScaleNameList()) +
               "\n(setting.set cannot hold the last five)";
  scale.refusal = "is not a scale; use one of " + ScaleNameList() + ", " + ExtraScaleNameList() +
                  " or 0 to " + Number(kScaleCount - 1);
  scale.store = [](ConverterOptions& options, std::string_view text) {
    options.overrides.scaleIndex = ParseScale(text);
    options.musical.extraScale = ParseExtraScale(text);
    return options.overrides.scaleIndex.has_value() || options.musical.extraScale.has_value();
  };
  scale.reportKey = "scale";
  scale.reported = [](const UsedSettings& used) -> ReportedValue { return ScaleName(used); };
  scale.storedInSettingsFile = true;
  scale.pageLabel = Words{"Scale", std::string(texts::kScaleLabel)};
  rows.push_back(std::move(scale));

  OptionRow key = Row(OptionId::kKey, "--key", OptionKind::kChoice, "K");
  key.group = OptionGroup::kMusical;
  for (uint8_t k = 0; k < 12; ++k) key.choices.push_back(Plain({KeyName(k)}).front());
  key.defaultValue = std::string(KeyName(0));
  key.help = "Root the scale on K: C, C#/Db, D ... B (default: " + key.defaultValue + ")";
  key.refusal = "is not a key; use C, C#, Db, D ... B";
  key.store = [](ConverterOptions& options, std::string_view text) {
    options.musical.key = ParseKey(text);
    return options.musical.key.has_value();
  };
  key.reportKey = "key";
  key.reported = [](const UsedSettings& used) -> ReportedValue {
    return std::string(KeyName(used.controls.key));
  };
  key.pageLabel = Words{"Key", "キー"};
  rows.push_back(std::move(key));

  OptionRow sustain = Whole(
      OptionId::kSustain, "--sustain", "N", 0, kMaxU32,
      [](ConverterOptions & o) -> auto& { return o.overrides.sustain; });
  sustain.defaultValue = Number(defaults.sustain);
  sustain.help = "Length of every note in 32nd notes (default: " + sustain.defaultValue + ")";
  sustain.reportKey = "sustain";
  sustain.reported = [](const UsedSettings& used) -> ReportedValue {
    return uint64_t{used.settings.sustain};
  };
  sustain.storedInSettingsFile = true;
  sustain.pageLabel = Words{"Sustain (in 32nd notes)", std::string(texts::kSustainLabel)};
  rows.push_back(std::move(sustain));

  OptionRow tempo = Whole(
      OptionId::kTempo, "--tempo", "BPM", 1, kMaxU32,
      [](ConverterOptions & o) -> auto& { return o.overrides.tempo; });
  tempo.defaultValue = Number(defaults.tempo);
  tempo.help =
      "Tempo in beats per minute, " + tempo.min + " or more (default: " + tempo.defaultValue + ")";
  tempo.reportKey = "tempo";
  tempo.reported = [](const UsedSettings& used) -> ReportedValue {
    return uint64_t{used.settings.tempo};
  };
  tempo.storedInSettingsFile = true;
  tempo.pageLabel = Words{"Tempo (beats per minute)", std::string(texts::kTempoLabel)};
  rows.push_back(std::move(tempo));

  OptionRow timing = Row(OptionId::kTiming, "--timing", OptionKind::kChoice, "beat|ms");
  timing.choices = {{"beat", {"Beats", std::string(texts::kBeatUnits)}},
                    {"ms", {"Milliseconds", std::string(texts::kMillisecondUnits)}}};
  timing.defaultValue = IsMillisecondTiming(defaults.timingMode) ? "ms" : "beat";
  timing.help = "Timing units: beat or ms (default: " + timing.defaultValue + ")";
  timing.refusal = "is not beat or ms";
  timing.store = [](ConverterOptions& options, std::string_view text) {
    if (text != "beat" && text != "ms") return false;
    options.overrides.timingMode = text == "ms" ? 1 : 0;
    return true;
  };
  timing.reportKey = "timing";
  timing.reported = [](const UsedSettings& used) -> ReportedValue {
    return std::string(IsMillisecondTiming(used.settings.timingMode) ? "ms" : "beat");
  };
  timing.storedInSettingsFile = true;
  timing.pageLabel = Words{"Timing units", "時間の単位"};
  rows.push_back(std::move(timing));

  OptionRow resolution = Whole(
      OptionId::kResolution, "--resolution", "N", 1, kMaxDivision,
      [](ConverterOptions & o) -> auto& { return o.overrides.resolution; });
  resolution.defaultValue = Number(defaults.resolution);
  resolution.help =
      "Ticks per quarter note, or the millisecond value in ms\n"
      "timing; " +
      resolution.min + " to " + resolution.max + " (default: " + resolution.defaultValue + ")";
  resolution.reportKey = "resolution";
  resolution.reported = [](const UsedSettings& used) -> ReportedValue {
    return uint64_t{used.settings.resolution};
  };
  resolution.storedInSettingsFile = true;
  resolution.pageLabel =
      Words{"Resolution (or milliseconds)", std::string(texts::kResolutionLabel)};
  rows.push_back(std::move(resolution));

  OptionRow chords =
      Flag(OptionId::kChords, "--chords", [](ConverterOptions& o) { o.overrides.chordMode = 1; });
  chords.help = "Add a second track of chords";
  chords.reportKey = "chords";
  chords.reported = [](const UsedSettings& used) -> ReportedValue {
    return used.settings.chordMode != 0;
  };
  chords.storedInSettingsFile = true;
  chords.pageLabel = Words{"Add chords", std::string(texts::kWithChords)};
  rows.push_back(std::move(chords));

  OptionRow noChords = Flag(OptionId::kNoChords, "--no-chords",
                            [](ConverterOptions& o) { o.overrides.chordMode = 0; });
  noChords.help = "Single notes only (default)";
  rows.push_back(std::move(noChords));

  OptionRow range = Row(OptionId::kRange, "--range", OptionKind::kBounds, "LOW:HIGH");
  range.min = Number(kNoRangeLow);
  range.max = Number(kNoRangeHigh);
  range.help = "Rescale the pitches into LOW:HIGH, each " + range.min + " to " + range.max +
               "; a HIGH\nnot above LOW means no range (default: no range)";
  range.refusal = "is not LOW:HIGH with both from " + range.min + " to " + range.max;
  range.store = [](ConverterOptions& options, std::string_view text) {
    options.overrides.range = ParseRange(text);
    options.overrides.rangeGivenEmpty = IsEmptyRange(text);
    return options.overrides.range.has_value();
  };
  range.reportKey = "range";
  range.reported = [](const UsedSettings& used) -> ReportedValue {
    const ConversionSettings& settings = used.settings;
    // The map takes the range's place.
    if (used.controls.pitchMap || !RangeApplies(settings.rangeLow, settings.rangeHigh)) return {};
    return Bounds(settings.rangeLow, settings.rangeHigh);
  };
  range.storedInSettingsFile = true;
  range.pageLabel = Words{"Pitch range", "音域制限"};
  rows.push_back(std::move(range));

  OptionRow noRange = Flag(OptionId::kNoRange, "--no-range", [](ConverterOptions& o) {
    o.overrides.range = std::pair<uint8_t, uint8_t>{kNoRangeLow, kNoRangeHigh};
  });
  noRange.help = "Keep the pitches as they are (default)";
  rows.push_back(std::move(noRange));
}

// The parts of the musical reading of the whole picture.
void AddReadingRows(std::vector<OptionRow>& rows) {
  OptionRow contour =
      Row(OptionId::kContour, "--contour", OptionKind::kChoice, "skyline|light|detail");
  contour.group = OptionGroup::kMusical;
  contour.choices = {{"skyline", {"Skyline", "稜線"}},
                     {"light", {"Light", "明るさ"}},
                     {"detail", {"Detail", "細かさ"}}};
  contour.help =
      "Pitches from the whole picture: how high the columns'\n"
      "detail reaches (skyline), their light, or their detail,\n"
      "spread over --map by the picture's own levels (default:\n"
      "the pitch row)";
  contour.refusal = "is not skyline, light or detail";
  contour.store = [](ConverterOptions& options, std::string_view text) {
    for (size_t i = 0; i < kContourFeatureNames.size(); ++i) {
      if (text == kContourFeatureNames[i]) {
        options.musical.reading.contour = static_cast<ContourFeature>(i);
        return true;
      }
    }
    return false;
  };
  contour.reportKey = "contour";
  contour.reported = [](const UsedSettings& used) -> ReportedValue {
    const std::optional<ContourFeature>& feature = used.controls.reading.contour;
    if (!feature) return {};
    return std::string(kContourFeatureNames[static_cast<size_t>(*feature)]);
  };
  contour.pageLabel = Words{"Contour from the whole picture", "絵全体から旋律の形"};
  rows.push_back(std::move(contour));

  // A part of the reading turned on by a flag.
  const auto part = [&rows](OptionId id, std::string names, bool MusicalReading::*field,
                            std::string help, std::string reportKey, Words label) {
    OptionRow row = Flag(id, std::move(names),
                         [field](ConverterOptions& o) { o.musical.reading.*field = true; });
    row.group = OptionGroup::kMusical;
    row.help = std::move(help);
    row.reportKey = std::move(reportKey);
    row.reported = [field](const UsedSettings& used) -> ReportedValue {
      return used.controls.reading.*field;
    };
    row.pageLabel = std::move(label);
    rows.push_back(std::move(row));
  };
  part(OptionId::kMetre, "--metre", &MusicalReading::metre,
       "Tempo and bars from the picture: onsets on a grid of\n"
       "sixteenths, phrases of four bars, --song-seconds long",
       "metre", {"Metre and phrases", "拍子とフレーズ"});
  part(OptionId::kMelodic, "--melodic", &MusicalReading::melodic,
       "Steps and neighbour tones instead of repeated pitches;\n"
       "a leap is followed by a step back",
       "melodic", {"Melodic line", "なめらかな旋律"});
  part(OptionId::kHarmony, "--harmony", &MusicalReading::harmony,
       "Chords of the key under the melody's strong beats (with\n"
       "--metre); with --chords they play, with a bass, instead\n"
       "of the chord rule",
       "harmony", {"Chords in the key", "調に合った和音"});
  rows.back().onlyWith = OptionId::kMetre;

  OptionRow songSeconds = Row(OptionId::kSongSeconds, "--song-seconds", OptionKind::kDecimal, "S");
  songSeconds.group = OptionGroup::kMusical;
  songSeconds.min = "0";
  songSeconds.minExcluded = true;
  songSeconds.defaultValue = "60";
  songSeconds.help = "Length of the song with --metre, in whole phrases\n(default: 60)";
  songSeconds.refusal = "is not a number of seconds above 0";
  songSeconds.store = [](ConverterOptions& options, std::string_view text) {
    options.musical.reading.songSeconds = ParseSeconds(text);
    return options.musical.reading.songSeconds.has_value();
  };
  songSeconds.reportKey = "song_seconds";
  // The length the metre takes, as the chords' voice is reported without chords.
  songSeconds.reported = [](const UsedSettings& used) -> ReportedValue {
    return used.controls.reading.songSeconds.value_or(kDefaultSongSeconds);
  };
  songSeconds.onlyWith = OptionId::kMetre;
  songSeconds.pageLabel = Words{"Song length (seconds)", "曲の長さ(秒)"};
  rows.push_back(std::move(songSeconds));
}

void AddMusicalRows(std::vector<OptionRow>& rows) {
  OptionRow map = Row(OptionId::kMap, "--map", OptionKind::kBounds, "LOW:HIGH");
  map.group = OptionGroup::kMusical;
  map.min = "0";
  map.max = "127";
  map.help =
      "Take every red byte r to LOW + r * (HIGH - LOW) / 255,\n"
      "0 <= LOW < HIGH <= 127, whatever the picture's own reds;\n"
      "instead of --range";
  map.refusal = "is not LOW:HIGH with 0 <= LOW < HIGH <= 127";
  map.store = [](ConverterOptions& options, std::string_view text) {
    options.musical.map = ParsePitchMap(text);
    return options.musical.map.has_value();
  };
  map.reportKey = "map";
  map.reported = [](const UsedSettings& used) -> ReportedValue {
    const std::optional<PitchMap>& pitchMap = used.controls.pitchMap;
    return pitchMap ? Bounds(pitchMap->low, pitchMap->high) : ReportedValue{};
  };
  map.pageLabel = Words{"Pitch map", "ピッチマップ"};
  rows.push_back(std::move(map));

  OptionRow columns = Whole(
      OptionId::kColumns, "--columns", "N", 1, kMaxResampledColumns,
      [](ConverterOptions & o) -> auto& { return o.musical.columns; });
  columns.group = OptionGroup::kMusical;
  columns.help = "Resample the picture to N columns, " + columns.min + " to " + columns.max +
                 ", each the\nmean of the columns it stands for (default: one note\n"
                 "per column)";
  columns.reportKey = "columns";
  columns.reported = [](const UsedSettings& used) -> ReportedValue {
    const uint32_t count = used.controls.columns;
    return count != 0 ? ReportedValue{uint64_t{count}} : ReportedValue{};
  };
  columns.pageLabel = Words{"Columns", "列数"};
  rows.push_back(std::move(columns));

  OptionRow maxSeconds = Row(OptionId::kMaxSeconds, "--max-seconds", OptionKind::kDecimal, "S");
  maxSeconds.group = OptionGroup::kMusical;
  maxSeconds.min = "0";
  maxSeconds.minExcluded = true;
  maxSeconds.help = "As many columns as fit in S seconds: the song never\nlasts longer";
  maxSeconds.refusal = "is not a number of seconds above 0";
  maxSeconds.store = [](ConverterOptions& options, std::string_view text) {
    options.musical.maxSeconds = ParseSeconds(text);
    return options.musical.maxSeconds.has_value();
  };
  maxSeconds.reportKey = "max_seconds";
  maxSeconds.reported = [](const UsedSettings& used) -> ReportedValue {
    const std::optional<double>& seconds = used.controls.maxSeconds;
    return seconds ? ReportedValue{*seconds} : ReportedValue{};
  };
  maxSeconds.pageLabel = Words{"Maximum length (seconds)", "最大の長さ(秒)"};
  rows.push_back(std::move(maxSeconds));

  OptionRow dynamics = Flag(OptionId::kDynamics, "--dynamics",
                            [](ConverterOptions& o) { o.musical.dynamics = true; });
  dynamics.group = OptionGroup::kMusical;
  dynamics.help = "Loudness of each melody note from the green byte of\nits pixel: " +
                  Number(kQuietestDynamicVelocity) + " to 127";
  dynamics.reportKey = "dynamics";
  dynamics.reported = [](const UsedSettings& used) -> ReportedValue {
    return used.controls.dynamics;
  };
  dynamics.pageLabel = Words{"Loudness from the green values", "緑の値で音の強さを変える"};
  rows.push_back(std::move(dynamics));
  AddReadingRows(rows);
}

enum class VoicePart { kProgram, kVelocity };

// A voice's program (0 to 127) or velocity (1 to 127: a note-on with velocity 0 is a
// note-off, the notes would make no sound).
template <typename Field, typename Reported>
OptionRow VoiceRow(OptionId id, std::string names, std::string what, VoicePart part,
                   uint8_t fallback, Field field, std::string reportKey, Reported reported,
                   Words label) {
  const bool program = part == VoicePart::kProgram;
  OptionRow row = Whole(id, std::move(names), "N", program ? 0 : 1, 127, field);
  row.generalMidiProgram = program;
  row.group = OptionGroup::kHearAndSee;
  row.defaultValue = Number(fallback);
  row.help = what + ", " + row.min + " to " + row.max + "\n(default: " + row.defaultValue + ")";
  row.reportKey = std::move(reportKey);
  row.reported = [reported](const UsedSettings& used) -> ReportedValue {
    return uint64_t{reported(used.controls.voices)};
  };
  row.pageLabel = std::move(label);
  return row;
}

void AddHearAndSeeRows(std::vector<OptionRow>& rows) {
  OptionRow wav = Name(
      OptionId::kWav, "--wav", "FILE",
      [](ConverterOptions & o) -> auto& { return o.hearAndSee.wav; });
  wav.group = OptionGroup::kHearAndSee;
  wav.needs = Needs::kWavOutput;
  wav.help =
      "Also play the song through a General MIDI SoundFont\n"
      "into FILE: " +
      Number(kWavSampleRate / 1000) + "." + Number(kWavSampleRate / 100 % 10) + " kHz " +
      Number(kWavBitsPerSample) + "-bit stereo WAV, as long as the\nsong plus a " +
      Number(static_cast<uint64_t>(kReleaseTailSeconds)) + " s release tail (one input only)";
  rows.push_back(std::move(wav));

  OptionRow soundFont = Name(
      OptionId::kSoundFont, "--soundfont", "FILE",
      [](ConverterOptions & o) -> auto& { return o.hearAndSee.soundFont; });
  soundFont.group = OptionGroup::kHearAndSee;
  soundFont.needs = Needs::kWavOutput;
  soundFont.help =
      "SoundFont for --wav (default: fluid-soundfont-gm's\n"
      "/usr/share/sounds/sf2/default-GM.sf2)";
  rows.push_back(std::move(soundFont));

  OptionRow gain = Row(OptionId::kGain, "--gain", OptionKind::kDecimal, "DB");
  gain.group = OptionGroup::kHearAndSee;
  gain.needs = Needs::kWavOutput;
  gain.min = SignedText(kMinGainDb);
  gain.max = SignedText(kMaxGainDb);
  gain.help = "Play the WAV at a fixed gain of DB decibels, " + gain.min + " to\n" + gain.max +
              ", written as it is rendered (default: normalised\n"
              "so that its loudest sample is " +
              SignedText(kWavPeakDbfs) + " dBFS)";
  gain.refusal = "is not a gain in dB from " + gain.min + " to " + gain.max;
  gain.store = [](ConverterOptions& options, std::string_view text) {
    options.hearAndSee.gainDb = ParseGainDb(text);
    return options.hearAndSee.gainDb.has_value();
  };
  rows.push_back(std::move(gain));

  OptionRow pianoRoll = Name(
      OptionId::kPianoRoll, "--piano-roll", "FILE",
      [](ConverterOptions & o) -> auto& { return o.hearAndSee.pianoRoll; });
  pianoRoll.group = OptionGroup::kHearAndSee;
  pianoRoll.needs = Needs::kPianoRollOutput;
  pianoRoll.help =
      "Also draw the notes into FILE as a PNG: time across,\n"
      "pitch up, melody and chords in two colours (one input\n"
      "only)";
  rows.push_back(std::move(pianoRoll));

  const SongVoices defaults;
  rows.push_back(VoiceRow(
      OptionId::kProgram, "--program", "General MIDI program of the melody", VoicePart::kProgram,
      defaults.melody.program, [](ConverterOptions & o) -> auto& { return o.hearAndSee.program; },
      "program", [](const SongVoices& v) { return v.melody.program; },
      Words{"Melody instrument", "メロディの楽器"}));
  rows.push_back(VoiceRow(
      OptionId::kVelocity, "--velocity", "Loudness of the melody's notes", VoicePart::kVelocity,
      defaults.melody.velocity, [](ConverterOptions & o) -> auto& { return o.hearAndSee.velocity; },
      "velocity", [](const SongVoices& v) { return v.melody.velocity; },
      Words{"Melody velocity", "メロディの強さ"}));
  // The chords' voice does nothing without a chord track.
  rows.push_back(VoiceRow(
      OptionId::kChordProgram, "--chord-program", "General MIDI program of the chords",
      VoicePart::kProgram, defaults.chords.program,
      [](ConverterOptions & o) -> auto& { return o.hearAndSee.chordProgram; }, "chord_program",
      [](const SongVoices& v) { return v.chords.program; },
      Words{"Chord instrument", "和音の楽器"}));
  rows.push_back(VoiceRow(
      OptionId::kChordVelocity, "--chord-velocity", "Loudness of the chords' notes",
      VoicePart::kVelocity, defaults.chords.velocity,
      [](ConverterOptions & o) -> auto& { return o.hearAndSee.chordVelocity; }, "chord_velocity",
      [](const SongVoices& v) { return v.chords.velocity; },
      Words{"Chord velocity", "和音の強さ"}));
  rows.end()[-2].onlyWith = OptionId::kChords;
  rows.end()[-1].onlyWith = OptionId::kChords;
}

void AddRunRows(std::vector<OptionRow>& rows) {
  OptionRow snap = Row(OptionId::kSnap, "--snap", OptionKind::kChoice, "random|up|down");
  snap.choices = Plain({"random", "up", "down"});
  snap.defaultValue = "random";
  snap.help =
      "Move out-of-scale pitches a random way, up or down\n"
      "(default: " +
      snap.defaultValue + ")";
  snap.refusal = "is not random, up or down";
  snap.store = [](ConverterOptions& options, std::string_view text) {
    if (text == "random") options.snap = SnapMode::kRandom;
    if (text == "up") options.snap = SnapMode::kUp;
    if (text == "down") options.snap = SnapMode::kDown;
    return text == "random" || text == "up" || text == "down";
  };
  snap.reportKey = "snap";
  snap.reported = [](const UsedSettings& used) -> ReportedValue {
    return std::string(used.snap == SnapMode::kUp     ? "up"
                       : used.snap == SnapMode::kDown ? "down"
                                                      : "random");
  };
  rows.push_back(std::move(snap));

  OptionRow seed = Whole(
      OptionId::kSeed, "--seed", "N", 0, kMaxU64,
      [](ConverterOptions & o) -> auto& { return o.seed; });
  seed.help =
      "Draw the random directions from std::mt19937_64 seeded\n"
      "with N: the same picture, settings and seed give the\n"
      "same file (default: the system's random generator)";
  seed.reportKey = "seed";
  seed.reported = [](const UsedSettings& used) -> ReportedValue {
    return used.seed ? ReportedValue{*used.seed} : ReportedValue{};
  };
  seed.pageLabel = Words{"Seed", "シード"};
  rows.push_back(std::move(seed));

  OptionRow settings = Name(
      OptionId::kSettings, "--settings", "FILE",
      [](ConverterOptions & o) -> auto& { return o.settingsFile; });
  settings.help = "Read the settings from FILE instead of ./" + std::string(kSettingsFileName);
  settings.reportKey = "settings_file";
  settings.reported = [](const UsedSettings& used) -> ReportedValue {
    return used.settingsFile.empty() ? ReportedValue{} : ReportedValue{used.settingsFile};
  };
  rows.push_back(std::move(settings));

  OptionRow noSettings = Flag(OptionId::kNoSettings, "--no-settings",
                              [](ConverterOptions& o) { o.noSettings = true; });
  noSettings.help =
      "Use the defaults shown, whatever ./" + std::string(kSettingsFileName) + " holds";
  rows.push_back(std::move(noSettings));

  OptionRow save = Flag(OptionId::kSaveSettings, "--save-settings",
                        [](ConverterOptions& o) { o.saveSettings = true; });
  save.help = "Write the effective settings to ./" + std::string(kSettingsFileName) +
              ", where the\ndesktop program reads them; inputs are then optional";
  rows.push_back(std::move(save));

  OptionRow jobs = Whole(
      OptionId::kJobs, "-j,--jobs", "N", 1, kMaxJobs,
      [](ConverterOptions & o) -> auto& { return o.jobs; });
  jobs.help = "Convert N inputs at a time, " + jobs.min + " to " + jobs.max +
              "\n(default: the number of cores, " + Number(DefaultJobs()) + ")";
  rows.push_back(std::move(jobs));

  OptionRow maxColumns = Whole(
      OptionId::kMaxColumns, "--max-columns", "N", 1, kMaxU32,
      [](ConverterOptions & o) -> auto& { return o.maxColumns; });
  maxColumns.defaultValue = Number(kDefaultMaxColumns);
  maxColumns.help =
      "Refuse pictures wider than N columns; a conversion\n"
      "holds about 130 bytes a column (default: " +
      maxColumns.defaultValue + ")";
  rows.push_back(std::move(maxColumns));

  OptionRow maxArea = Whole(
      OptionId::kMaxArea, "--max-area", "N", 1, kMaxU64,
      [](ConverterOptions & o) -> auto& { return o.maxArea; });
  maxArea.needs = Needs::kPngInput;
  maxArea.defaultValue = Number(kDefaultMaxPngPixels);
  maxArea.help =
      "Refuse PNG pictures of more than N pixels, whose rows\n"
      "must all be decoded (default: " +
      maxArea.defaultValue + ")";
  rows.push_back(std::move(maxArea));

  OptionRow quiet =
      Flag(OptionId::kQuiet, "-q,--quiet", [](ConverterOptions& o) { o.quiet = true; });
  quiet.help =
      "Print nothing but errors and warnings (default: a\n"
      "progress line for batches when standard error is a\n"
      "terminal)";
  rows.push_back(std::move(quiet));

  OptionRow info =
      Flag(OptionId::kInfo, "--info", [](ConverterOptions& o) { o.report = ReportFormat::kInfo; });
  info.help =
      "Print a line per input: output, notes, tracks, length\n"
      "in ticks and in seconds, pitch range";
  rows.push_back(std::move(info));

  OptionRow json =
      Flag(OptionId::kJson, "--json", [](ConverterOptions& o) { o.report = ReportFormat::kJson; });
  json.help =
      "Print the same as one JSON object per input, failed\n"
      "inputs included";
  rows.push_back(std::move(json));
}

std::vector<OptionRow> MakeTable() {
  ConversionSettings defaults;
  defaults.InstallDefaults();
  std::vector<OptionRow> rows;
  AddOutputRows(rows);
  AddPresetRow(rows);
  AddSettingRows(rows, defaults);
  AddMusicalRows(rows);
  AddHearAndSeeRows(rows);
  AddRunRows(rows);
  DescribePresets(rows);
  return rows;
}

}  // namespace

std::string_view OptionRow::LongName() const {
  const std::string_view all = names;
  return all.substr(all.find("--"));
}

bool BuildHas(const BuildFeatures& build, Needs needs) {
  switch (needs) {
    case Needs::kPngInput:
      return build.pngInput;
    case Needs::kWavOutput:
      return build.wavOutput;
    case Needs::kPianoRollOutput:
      return build.pianoRollOutput;
    case Needs::kNothing:
      break;
  }
  return true;
}

const std::vector<OptionRow>& OptionTable() {
  static const std::vector<OptionRow> table = MakeTable();
  return table;
}

const OptionRow& RowOf(OptionId id) {
  const std::vector<OptionRow>& table = OptionTable();
  return *std::find_if(table.begin(), table.end(),
                       [id](const OptionRow& row) { return row.id == id; });
}

const std::vector<Exclusion>& Exclusions() {
  static const std::vector<Exclusion> exclusions = {
      {OptionId::kOutput, OptionId::kOutputDirectory, ""},
      {OptionId::kChords, OptionId::kNoChords, ""},
      {OptionId::kRange, OptionId::kNoRange, ""},
      {OptionId::kMap, OptionId::kRange, "both say how reds become pitches; give one"},
      {OptionId::kMaxSeconds, OptionId::kColumns, ""},
      {OptionId::kMetre, OptionId::kColumns,
       "both say how many notes there are; with --metre, --song-seconds sets the length"},
      {OptionId::kMetre, OptionId::kMaxSeconds,
       "both say how long the song is; with --metre, --song-seconds does"},
      {OptionId::kNoSettings, OptionId::kSettings, ""},
      {OptionId::kInfo, OptionId::kJson, ""},
      {OptionId::kQuiet, OptionId::kInfo, ""},
      {OptionId::kQuiet, OptionId::kJson, ""},
  };
  return exclusions;
}

const std::vector<Preset>& Presets() {
  static const std::vector<Preset> presets = {
      {"musical",
       {"Musical (recommended)", "音楽らしく（おすすめ）"},
       {{OptionId::kContour, "skyline"},
        {OptionId::kMetre, ""},
        {OptionId::kMelodic, ""},
        {OptionId::kHarmony, ""},
        {OptionId::kChords, ""},
        {OptionId::kMap, "60:84"},
        {OptionId::kProgram, "73"},
        {OptionId::kChordProgram, "89"},
        {OptionId::kChordVelocity, "64"}}},
      {"desktop", {"As the desktop program", "デスクトップ版と同じ"}, {}},
  };
  return presets;
}

const Preset* FindPreset(std::string_view name) {
  for (const Preset& preset : Presets()) {
    if (preset.name == name) return &preset;
  }
  return nullptr;
}

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : OptionTable()) {
    std::string_view names = row.names;
    while (!names.empty()) {
      const size_t comma = names.find(',');
      if (names.substr(0, comma) == name) return &row;
      names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
    }
  }
  return nullptr;
}

}  // namespace pixorale::converter
