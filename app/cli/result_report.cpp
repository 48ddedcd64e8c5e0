#include "app/cli/result_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/cli/program_name.h"
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
                     const ConversionSettings& settings) {
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

std::string JsonLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const ConversionSettings& settings) {
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
  }
  // Paths are bytes, not necessarily UTF-8; a stray byte must not cost the whole line.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace pixorale::cli
