#pragma once

#include <vector>

#include "app/conversion_settings.h"
#include "app/converter/converter_options.h"
#include "app/converter/failure.h"

namespace pixorale::converter {

// Options given that would silently do nothing or something else than asked: an empty
// --range, --sustain 0, a tempo the tempo event cannot hold. The conversion still runs.
std::vector<Warning> OptionWarnings(const SettingOverrides& overrides);

// The same for the options of the WAV and the voices, once the settings are known: a
// SoundFont without --wav, the chords' voice when there is no chord track.
std::vector<Warning> HearAndSeeWarnings(const HearAndSeeOptions& hear,
                                        const ConversionSettings& settings);

}  // namespace pixorale::converter
