#include "app/converter/result_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/converter/option_table.h"
#include "app/converter/program_name.h"
#include "io/utf8_path.h"
#include "midi/song.h"
#include "midi/song_time.h"

namespace pixorale::converter {
namespace {

using Json = nlohmann::ordered_json;

std::string Plural(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

Json AsJson(const ReportedValue& value) {
  return std::visit(
      [](const auto& held) -> Json {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::monostate>) {
          return nullptr;
        } else if constexpr (std::is_same_v<Held, std::pair<uint8_t, uint8_t>>) {
          return Json::array({held.first, held.second});
        } else {
          return held;
        }
      },
      value);
}

// The settings the rows report, by their report names, in the table's order; with
// `storedOnly`, those setting.set holds.
Json SettingFacts(const UsedSettings& used, bool storedOnly) {
  Json facts = Json::object();
  for (const OptionRow& row : OptionTable()) {
    if (row.reportKey.empty() || (storedOnly && !row.storedInSettingsFile)) continue;
    facts[row.reportKey] = AsJson(row.reported(used));
  }
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

std::string ErrorLine(const Failure& failure) {
  return std::string(kMessagePrefix) + failure.Line();
}

std::string WarningLine(const Warning& warning) {
  return std::string(kMessagePrefix) + "warning: " + warning.text;
}

std::string InfoLine(const ConversionJob& job, const ConversionOutcome& outcome) {
  const SongSummary& song = outcome.song;
  std::string line = job.inputPath + " -> " + job.outputPath + ": " +
                     Plural(song.noteCount, "note") + ", " + Plural(song.trackCount, "track") +
                     ", " + Plural(song.lengthTicks, "tick");
  if (const auto seconds = LengthSeconds(song)) {
    char text[64];
    std::snprintf(text, sizeof text, ", %.3f s", *seconds);
    line += text;
  }
  if (song.noteCount > 0) {
    line += ", pitches " + std::to_string(song.lowestPitch) + " to " +
            std::to_string(song.highestPitch);
  }
  if (job.wavPath) line += ", WAV " + *job.wavPath;
  if (job.pianoRollPath) line += ", piano roll " + *job.pianoRollPath;
  return line;
}

std::string SettingsLine(const UsedSettings& used) {
  return "settings: " + FactsText(SettingFacts(used, false));
}

std::string SavedSettingsLine(const ConversionSettings& settings) {
  const UsedSettings used{settings, {}, SnapMode::kRandom, std::nullopt, {}};
  return std::string(kMessagePrefix) + "saved " + FactsText(SettingFacts(used, true)) + " to " +
         Utf8FromPath(PathFromUtf8(settings.settingsDirectory) / kSettingsFileName);
}

std::string JsonLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used) {
  Json object;
  object["input"] = job.inputPath;
  object["output"] = job.outputPath;
  object["converted"] = outcome.converted();
  if (outcome.failure) {
    object["error"] = outcome.failure->Line();
  } else {
    const SongSummary& song = outcome.song;
    object["notes"] = song.noteCount;
    object["tracks"] = song.trackCount;
    object["ticks"] = song.lengthTicks;
    object["division"] = song.division & kMaxDivision;
    object["timing"] = IsMillisecondTiming(song.timingMode) ? "ms" : "beat";
    const auto seconds = LengthSeconds(song);
    object["seconds"] = seconds ? Json(*seconds) : nullptr;
    const bool anyNote = song.noteCount > 0;
    object["lowest_pitch"] = anyNote ? Json(song.lowestPitch) : nullptr;
    object["highest_pitch"] = anyNote ? Json(song.highestPitch) : nullptr;
    if (job.wavPath) object["wav"] = *job.wavPath;
    if (job.pianoRollPath) object["piano_roll"] = *job.pianoRollPath;
    object["columns"] = outcome.report.columns;
  }
  object["settings"] = SettingFacts(used, false);
  // Paths are bytes, not necessarily UTF-8; a stray byte must not cost the whole line.
  return object.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace pixorale::converter
