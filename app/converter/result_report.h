#pragma once

#include <string>

#include "app/conversion_settings.h"
#include "app/converter/conversion_jobs.h"
#include "app/converter/convert_one.h"
#include "app/converter/effective_settings.h"
#include "app/converter/failure.h"

namespace pixorale::converter {

// "pixorale-convert: subject: reason", without the newline.
std::string ErrorLine(const Failure& failure);
// "pixorale-convert: warning: text", without the newline.
std::string WarningLine(const Warning& warning);

// "IN -> OUT: 6 notes, 1 track, 1380 ticks, 1.438 s, pitches 60 to 67", then the WAV and the
// piano roll when they were made; without the newline.
std::string InfoLine(const ConversionJob& job, const ConversionOutcome& outcome);
// The same facts, or the error, as one line of JSON, with every setting the batch uses.
std::string JsonLine(const ConversionJob& job, const ConversionOutcome& outcome,
                     const UsedSettings& used);

// "settings: scale c-major, key C, sustain 16, ..., settings file none": every setting the
// batch is converted with, and where the settings came from.
std::string SettingsLine(const UsedSettings& used);

// "pixorale-convert: saved scale c-major, sustain 16, ... to /home/me/setting.set".
std::string SavedSettingsLine(const ConversionSettings& settings);

}  // namespace pixorale::converter
