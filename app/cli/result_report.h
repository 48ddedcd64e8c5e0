#pragma once

#include <optional>
#include <string>

#include "app/cli/conversion_jobs.h"
#include "app/cli/convert_one.h"
#include "app/cli/effective_settings.h"
#include "app/conversion_settings.h"

namespace pixorale::cli {

// "pixorale-convert: PATH: reason", without the newline.
std::string ErrorLine(const std::string& path, const std::string& reason);
std::string ErrorLine(const ConversionOutcome& outcome);

// Playing time of the written file in seconds: ticks are milliseconds in millisecond timing;
// in beat timing it needs a division and a tempo.
std::optional<double> LengthSeconds(const ConversionOutcome& outcome,
                                    const ConversionSettings& settings);

// "IN -> OUT: 6 notes, 1 track, 1380 ticks, 1.438 s, pitches 60 to 67", then the WAV and the
// piano roll when they were made; without the newline.
std::string InfoLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used);
// The same facts, or the error, as one line of JSON.
std::string JsonLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used);

// "settings: scale c-major, key C, sustain 16, ..., settings file none": every setting the
// batch is converted with, and where the settings came from.
std::string SettingsLine(const UsedSettings& used);

// "pixorale-convert: saved scale c-major, sustain 16, ... to /home/me/setting.set".
std::string SavedSettingsLine(const ConversionSettings& settings);

}  // namespace pixorale::cli
