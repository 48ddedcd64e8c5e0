#pragma once

#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "app/conversion_settings.h"

namespace pixorale::cli {

struct LoadedSettings {
  ConversionSettings settings;
  std::string error;       // set when --settings names a file that cannot be read
  std::string sourcePath;  // the settings file that was read; empty when none was
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
ConversionControls ControlsFrom(const CliOptions& options);

// The settings every input is converted with: --settings FILE, or setting.set in the current
// directory as the desktop program reads it (the defaults when there is none, or with
// --no-settings), then the options given on the command line.
LoadedSettings LoadEffectiveSettings(const CliOptions& options);

void ApplyOverrides(const SettingOverrides& overrides, ConversionSettings& settings);

}  // namespace pixorale::cli
