#include "app/converter/option_warnings.h"

#include <cmath>
#include <cstdio>

#include "convert/melody.h"

namespace pixorale::converter {
namespace {

constexpr double kMicrosecondsPerMinute = 60e6;
// Within this share of the asked tempo, the event's whole microseconds are close enough.
constexpr double kTempoTolerance = 0.001;

}  // namespace

std::vector<Warning> OptionWarnings(const SettingOverrides& overrides) {
  std::vector<Warning> warnings;
  if (overrides.rangeGivenEmpty) {
    warnings.push_back({WarningKind::kEmptyRange, "--range",
                        "--range: HIGH is not above LOW, so no pitch range applies"});
  }
  if (overrides.sustain == 0u) {
    warnings.push_back({WarningKind::kSilentSustain, "--sustain",
                        "--sustain 0: every note ends where it starts and makes no sound"});
  }
  if (overrides.tempo) {
    const double asked = *overrides.tempo;
    const double written = kMicrosecondsPerMinute / QuarterMicroseconds(*overrides.tempo);
    if (std::abs(written - asked) > asked * kTempoTolerance) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "--tempo %u: a MIDI tempo event cannot hold it; %.6g BPM is written",
                    *overrides.tempo, written);
      warnings.push_back({WarningKind::kTempoRounded, "--tempo", text});
    }
  }
  return warnings;
}

std::vector<Warning> HearAndSeeWarnings(const HearAndSeeOptions& hear,
                                        const ConversionSettings& settings) {
  std::vector<Warning> warnings;
  if (hear.soundFont && !hear.wav) {
    warnings.push_back(
        {WarningKind::kUnusedOption, "--soundfont", "--soundfont does nothing without --wav"});
  }
  if (hear.gainDb && !hear.wav) {
    warnings.push_back({WarningKind::kUnusedOption, "--gain", "--gain does nothing without --wav"});
  }
  if ((hear.chordProgram || hear.chordVelocity) && settings.chordMode == 0) {
    warnings.push_back(
        {WarningKind::kUnusedOption, hear.chordProgram ? "--chord-program" : "--chord-velocity",
         "--chord-program and --chord-velocity do nothing without the chord track (--chords)"});
  }
  return warnings;
}

}  // namespace pixorale::converter
