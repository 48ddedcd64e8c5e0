#pragma once

#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "app/conversion_settings.h"

namespace pixorale::cli {

struct LoadedSettings {
  ConversionSettings settings;
  std::string error;  // set when --settings names a file that cannot be read
};

// The settings every input is converted with: --settings FILE, or setting.set in the current
// directory as the desktop program reads it (the defaults when there is none), then the
// options given on the command line.
LoadedSettings LoadEffectiveSettings(const CliOptions& options);

void ApplyOverrides(const SettingOverrides& overrides, ConversionSettings& settings);

}  // namespace pixorale::cli
