#include "app/cli/option_warnings.h"

#include <cmath>
#include <cstdio>

#include "convert/melody.h"

namespace pixorale::cli {
namespace {

constexpr double kMicrosecondsPerMinute = 60e6;
// Within this share of the asked tempo, the event's whole microseconds are close enough.
constexpr double kTempoTolerance = 0.001;

}  // namespace

std::vector<std::string> OptionWarnings(const SettingOverrides& overrides) {
  std::vector<std::string> warnings;
  if (overrides.rangeGivenEmpty) {
    warnings.emplace_back("--range: HIGH is not above LOW, so no pitch range applies");
  }
  if (overrides.sustain == 0u) {
    warnings.emplace_back("--sustain 0: every note ends where it starts and makes no sound");
  }
  if (overrides.tempo) {
    const double asked = *overrides.tempo;
    const double written = kMicrosecondsPerMinute / QuarterMicroseconds(*overrides.tempo);
    if (std::abs(written - asked) > asked * kTempoTolerance) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "--tempo %u: a MIDI tempo event cannot hold it; %.6g BPM is written",
                    *overrides.tempo, written);
      warnings.emplace_back(text);
    }
  }
  return warnings;
}

std::vector<std::string> HearAndSeeWarnings(const HearAndSeeOptions& hear,
                                            const ConversionSettings& settings) {
  std::vector<std::string> warnings;
  if (hear.soundFont && !hear.wav) warnings.emplace_back("--soundfont does nothing without --wav");
  if (hear.gainDb && !hear.wav) warnings.emplace_back("--gain does nothing without --wav");
  if ((hear.chordProgram || hear.chordVelocity) && settings.chordMode == 0) {
    warnings.emplace_back(
        "--chord-program and --chord-velocity do nothing without the chord track (--chords)");
  }
  return warnings;
}

}  // namespace pixorale::cli
