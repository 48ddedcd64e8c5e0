#include "app/cli/effective_settings.h"

#include <filesystem>

#include "io/utf8_path.h"

namespace pixorale::cli {

LoadedSettings LoadEffectiveSettings(const CliOptions& options) {
  LoadedSettings loaded;
  ConversionSettings& settings = loaded.settings;
  if (options.settingsFile) {
    // A file asked for by name must be there; silently falling back would hide a typo.
    if (!settings.ReadSettingsFile(PathFromUtf8(*options.settingsFile))) {
      loaded.error = *options.settingsFile + ": cannot open the settings file";
      return loaded;
    }
    std::error_code error;
    settings.settingsDirectory = Utf8FromPath(std::filesystem::current_path(error));
  } else if (!settings.LoadSettings()) {
    settings.InstallDefaults();
  }
  ApplyOverrides(options.overrides, settings);
  return loaded;
}

void ApplyOverrides(const SettingOverrides& overrides, ConversionSettings& settings) {
  if (overrides.scaleIndex) settings.scaleIndex = *overrides.scaleIndex;
  if (overrides.sustain) settings.sustain = *overrides.sustain;
  if (overrides.tempo) settings.tempo = *overrides.tempo;
  if (overrides.timingMode) settings.timingMode = *overrides.timingMode;
  if (overrides.resolution) settings.resolution = *overrides.resolution;
  if (overrides.chordMode) settings.chordMode = *overrides.chordMode;
  if (overrides.range) {
    settings.rangeLow = overrides.range->first;
    settings.rangeHigh = overrides.range->second;
  }
}

}  // namespace pixorale::cli
