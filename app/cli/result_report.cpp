#include "app/cli/result_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/cli/option_values.h"
#include "app/cli/program_name.h"
#include "io/utf8_path.h"
#include "midi/song.h"
#include "midi/song_time.h"

namespace pixorale::cli {
namespace {

uint16_t WrittenDivision(const ConversionOutcome& outcome) {
  return outcome.report.song.division & kMaxDivision;
}

bool BeatTiming(const ConversionSettings& settings) {
  return !IsMillisecondTiming(settings.timingMode);
}

std::string Plural(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

using Json = nlohmann::ordered_json;

std::string ScaleName(const ConversionSettings& settings, const ConversionControls& controls) {
  if (controls.extraScale) return std::string(InfoOf(*controls.extraScale).optionName);
  if (settings.scaleIndex < kScaleCount)
    return std::string(kScales[settings.scaleIndex].optionName);
  return "none (index " + std::to_string(settings.scaleIndex) + ")";
}

Json Pair(uint8_t low, uint8_t high) {
  return Json::array({low, high});
}

// The settings record's fields but the scale, by the names of their options, in one order
// for every report.
void AddRecordFacts(const ConversionSettings& settings, Json& facts) {
  facts["sustain"] = settings.sustain;
  facts["tempo"] = settings.tempo;
  facts["timing"] = IsMillisecondTiming(settings.timingMode) ? "ms" : "beat";
  facts["resolution"] = settings.resolution;
  facts["chords"] = settings.chordMode != 0;
  facts["range"] = RangeApplies(settings.rangeLow, settings.rangeHigh)
                       ? Pair(settings.rangeLow, settings.rangeHigh)
                       : Json(nullptr);
}

Json RecordFacts(const ConversionSettings& settings) {
  Json facts;
  facts["scale"] = ScaleName(settings, {});
  AddRecordFacts(settings, facts);
  return facts;
}

// Every setting the batch uses; null where a control is off.
Json UsedFacts(const UsedSettings& used) {
  const ConversionControls& controls = used.controls;
  Json facts;
  facts["scale"] = ScaleName(used.settings, controls);
  facts["key"] = std::string(KeyName(controls.key));
  AddRecordFacts(used.settings, facts);
  if (controls.pitchMap) facts["range"] = nullptr;  // the map takes its place
  facts["map"] =
      controls.pitchMap ? Pair(controls.pitchMap->low, controls.pitchMap->high) : Json(nullptr);
  facts["columns"] = controls.columns != 0 ? Json(controls.columns) : Json(nullptr);
  facts["max_seconds"] = controls.maxSeconds ? Json(*controls.maxSeconds) : Json(nullptr);
  facts["dynamics"] = controls.dynamics;
  facts["program"] = controls.voices.melody.program;
  facts["velocity"] = controls.voices.melody.velocity;
  facts["chord_program"] = controls.voices.chords.program;
  facts["chord_velocity"] = controls.voices.chords.velocity;
  facts["snap"] = used.snap == SnapMode::kUp     ? "up"
                  : used.snap == SnapMode::kDown ? "down"
                                                 : "random";
  facts["seed"] = used.seed ? Json(*used.seed) : Json(nullptr);
  facts["settings_file"] = used.settingsFile.empty() ? Json(nullptr) : Json(used.settingsFile);
  return facts;
}

// "name value, name value": booleans as on/off, null as none, a pair as LOW:HIGH.
std::string FactsText(const Json& facts) {
  std::string text;
  for (const auto& [name, value] : facts.items()) {
    if (!text.empty()) text += ", ";
    text += name;
    std::replace(text.end() - static_cast<std::ptrdiff_t>(name.size()), text.end(), '_', ' ');
    text += ' ';
    if (value.is_null()) {
      text += "none";
    } else if (value.is_boolean()) {
      text += value.get<bool>() ? "on" : "off";
    } else if (value.is_array()) {
      text += std::to_string(value[0].get<int>()) + ":" + std::to_string(value[1].get<int>());
    } else if (value.is_string()) {
      text += value.get<std::string>();
    } else {
      text += value.dump();
    }
  }
  return text;
}

}  // namespace

std::string ErrorLine(const std::string& path, const std::string& reason) {
  return std::string(kMessagePrefix) + path + ": " + reason;
}

std::string ErrorLine(const ConversionOutcome& outcome) {
  return ErrorLine(outcome.errorPath, outcome.errorReason);
}

std::optional<double> LengthSeconds(const ConversionOutcome& outcome,
                                    const ConversionSettings& settings) {
  const SongSummary& song = outcome.report.song;
  const auto ticks = static_cast<double>(song.lengthTicks);
  if (!BeatTiming(settings)) return ticks / kMillisecondTicksPerSecond;
  const uint16_t division = WrittenDivision(outcome);
  if (division == 0 || song.quarterMicroseconds == 0) return std::nullopt;
  return BeatTicksToSeconds(ticks, division, song.quarterMicroseconds);
}

std::string InfoLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used) {
  const ConversionSettings& settings = used.settings;
  const SongSummary& report = outcome.report.song;
  std::string line = job.inputPath + " -> " + job.outputPath + ": " +
                     Plural(report.noteCount, "note") + ", " + Plural(report.trackCount, "track") +
                     ", " + Plural(report.lengthTicks, "tick");
  if (const auto seconds = LengthSeconds(outcome, settings)) {
    char text[64];
    std::snprintf(text, sizeof text, ", %.3f s", *seconds);
    line += text;
  }
  if (report.noteCount > 0) {
    line += ", pitches " + std::to_string(report.lowestPitch) + " to " +
            std::to_string(report.highestPitch);
  }
  if (job.wavPath) line += ", WAV " + *job.wavPath;
  if (job.pianoRollPath) line += ", piano roll " + *job.pianoRollPath;
  return line;
}

std::string SettingsLine(const UsedSettings& used) {
  return "settings: " + FactsText(UsedFacts(used));
}

std::string SavedSettingsLine(const ConversionSettings& settings) {
  return std::string(kMessagePrefix) + "saved " + FactsText(RecordFacts(settings)) + " to " +
         Utf8FromPath(PathFromUtf8(settings.settingsDirectory) / kSettingsFileName);
}

std::string JsonLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used) {
  const ConversionSettings& settings = used.settings;
  nlohmann::ordered_json object;
  object["input"] = job.inputPath;
  object["output"] = job.outputPath;
  object["converted"] = outcome.converted;
  if (!outcome.converted) {
    object["error"] = outcome.errorPath + ": " + outcome.errorReason;
  } else {
    const SongSummary& report = outcome.report.song;
    object["notes"] = report.noteCount;
    object["tracks"] = report.trackCount;
    object["ticks"] = report.lengthTicks;
    object["division"] = WrittenDivision(outcome);
    object["timing"] = BeatTiming(settings) ? "beat" : "ms";
    const auto seconds = LengthSeconds(outcome, settings);
    object["seconds"] = seconds ? nlohmann::ordered_json(*seconds) : nullptr;
    const bool anyNote = report.noteCount > 0;
    object["lowest_pitch"] = anyNote ? nlohmann::ordered_json(report.lowestPitch) : nullptr;
    object["highest_pitch"] = anyNote ? nlohmann::ordered_json(report.highestPitch) : nullptr;
    if (job.wavPath) object["wav"] = *job.wavPath;
    if (job.pianoRollPath) object["piano_roll"] = *job.pianoRollPath;
    object["columns"] = outcome.report.columns;
  }
  object["settings"] = UsedFacts(used);
  // Paths are bytes, not necessarily UTF-8; a stray byte must not cost the whole line.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace pixorale::cli
