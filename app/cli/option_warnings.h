#pragma once

#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/conversion_settings.h"

namespace pixorale::cli {

// Options given on the command line that would silently do nothing or something else than
// asked: an empty --range, --sustain 0, a tempo the tempo event cannot hold. One line each,
// without the program name; the conversion still runs.
std::vector<std::string> OptionWarnings(const SettingOverrides& overrides);

// The same for the options of the WAV and the voices, once the settings are known: a
// SoundFont without --wav, the chords' voice when there is no chord track.
std::vector<std::string> HearAndSeeWarnings(const HearAndSeeOptions& hear,
                                            const ConversionSettings& settings);

}  // namespace pixorale::cli
