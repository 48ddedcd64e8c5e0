#include "app/cli/result_report.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "midi/song.h"

namespace pixorale::cli {
namespace {

constexpr double kTicksPerSecondInMsTiming = 1000.0;

uint16_t WrittenDivision(const ConversionOutcome& outcome) {
  return outcome.report.division & kMaxDivision;
}

bool BeatTiming(const ConversionSettings& settings) {
  return (settings.timingMode & 1) == 0;
}

std::string Plural(uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

std::string ErrorLine(const std::string& path, const std::string& reason) {
  return "pixorale-convert: " + path + ": " + reason;
}

std::string ErrorLine(const ConversionOutcome& outcome) {
  return ErrorLine(outcome.errorPath, outcome.errorReason);
}

std::optional<double> LengthSeconds(const ConversionOutcome& outcome,
                                    const ConversionSettings& settings) {
  const RunReport& report = outcome.report;
  // In millisecond timing a tick is a millisecond, whatever the tempo.
  if (!BeatTiming(settings))
    return static_cast<double>(report.lengthTicks) / kTicksPerSecondInMsTiming;
  const uint16_t division = WrittenDivision(outcome);
  if (division == 0 || report.quarterMicroseconds == 0) return std::nullopt;
  const double quarters = static_cast<double>(report.lengthTicks) / division;
  return quarters * report.quarterMicroseconds / 1e6;
}

std::string InfoLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const ConversionSettings& settings) {
  const RunReport& report = outcome.report;
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
    const RunReport& report = outcome.report;
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
