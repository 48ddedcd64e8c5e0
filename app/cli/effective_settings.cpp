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
    loaded.sourcePath = *options.settingsFile;
    std::error_code error;
    settings.settingsDirectory = Utf8FromPath(std::filesystem::current_path(error));
  } else if (options.noSettings) {
    std::error_code error;
    settings.settingsDirectory = Utf8FromPath(std::filesystem::current_path(error));
    settings.InstallDefaults();
  } else if (settings.LoadSettings()) {
    loaded.sourcePath = Utf8FromPath(PathFromUtf8(settings.settingsDirectory) / kSettingsFileName);
  } else {
    settings.InstallDefaults();
  }
  ApplyOverrides(options.overrides, settings);
  return loaded;
}

ConversionControls ControlsFrom(const CliOptions& options) {
  const HearAndSeeOptions& hear = options.hearAndSee;
  const MusicalOptions& musical = options.musical;
  ConversionControls controls;
  SongVoices& voices = controls.voices;
  voices.melody.program = hear.program.value_or(voices.melody.program);
  voices.melody.velocity = hear.velocity.value_or(voices.melody.velocity);
  voices.chords.program = hear.chordProgram.value_or(voices.chords.program);
  voices.chords.velocity = hear.chordVelocity.value_or(voices.chords.velocity);
  controls.columns = musical.columns.value_or(0);
  controls.maxSeconds = musical.maxSeconds;
  controls.key = musical.key.value_or(0);
  controls.extraScale = musical.extraScale;
  controls.pitchMap = musical.map;
  controls.dynamics = musical.dynamics;
  controls.reading = musical.reading;
  return controls;
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
