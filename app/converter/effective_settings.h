#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/conversion_settings.h"
#include "app/converter/converter_options.h"
#include "app/converter/failure.h"

namespace pixorale::converter {

struct LoadedSettings {
  ConversionSettings settings;
  std::string sourcePath;  // the settings file that was read; empty when none was
  std::vector<Warning> warnings;
};

// Everything a conversion of the batch uses, as --info and --json state it.
struct UsedSettings {
  ConversionSettings settings;
  ConversionControls controls;
  SnapMode snap = SnapMode::kRandom;
  std::optional<uint64_t> seed;
  std::string settingsFile;  // the file the settings came from; empty: the defaults
};

// The controls beyond the settings record: voices from the hear-and-see options, the
// musical controls.
ConversionControls ControlsFrom(const ConverterOptions& options);

// The settings every input is converted with: --settings FILE, or setting.set in the current
// directory as the desktop program reads it (the defaults when there is none, or with
// --no-settings), then the options given. A file named with --settings must be readable; a
// setting.set that is there but cannot be read gives the defaults and a warning.
Result<LoadedSettings> LoadEffectiveSettings(const ConverterOptions& options);

void ApplyOverrides(const SettingOverrides& overrides, ConversionSettings& settings);

}  // namespace pixorale::converter
