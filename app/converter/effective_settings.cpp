#include "app/converter/effective_settings.h"

#include <cerrno>
#include <filesystem>

#include "io/utf8_path.h"

namespace pixorale::converter {
namespace {

std::string CurrentDirectory() {
  std::error_code error;
  return Utf8FromPath(std::filesystem::current_path(error));
}

}  // namespace

Result<LoadedSettings> LoadEffectiveSettings(const ConverterOptions& options) {
  LoadedSettings loaded;
  ConversionSettings& settings = loaded.settings;
  if (options.settingsFile) {
    // A file asked for by name must be there; silently falling back would hide a typo.
    if (const IoResult read = settings.ReadSettingsFile(PathFromUtf8(*options.settingsFile));
        !read) {
      return Failure{FailureKind::kSettingsFile, *options.settingsFile,
                     "cannot open the settings file", read};
    }
    loaded.sourcePath = *options.settingsFile;
    settings.settingsDirectory = CurrentDirectory();
  } else if (options.noSettings) {
    settings.settingsDirectory = CurrentDirectory();
    settings.InstallDefaults();
  } else if (const IoResult read = settings.LoadSettings(); read) {
    loaded.sourcePath = Utf8FromPath(PathFromUtf8(settings.settingsDirectory) / kSettingsFileName);
  } else {
    settings.InstallDefaults();
    // No setting.set is the usual case, and a folder or a device of that name holds none; a
    // file that is there but cannot be read is the user's, and ignoring it without a word
    // would convert with settings they did not choose.
    const bool noFile = (read.failedStep == IoStep::kOpen && read.systemError == ENOENT) ||
                        read.failedStep == IoStep::kIsDirectory ||
                        read.failedStep == IoStep::kNotRegularFile;
    if (!noFile) {
      loaded.warnings.push_back({WarningKind::kUnreadableSettings, kSettingsFileName,
                                 std::string(kSettingsFileName) + " " + DescribeIoResult(read) +
                                     "; the defaults are used"});
    }
  }
  ApplyOverrides(options.overrides, settings);
  return loaded;
}

ConversionControls ControlsFrom(const ConverterOptions& options) {
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

}  // namespace pixorale::converter
