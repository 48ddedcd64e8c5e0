#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "convert/melody.h"
#include "io/io_result.h"

namespace pixorale {

inline constexpr const char* kSettingsFileName = "setting.set";
inline constexpr size_t kSettingsFileSize = 15;
inline constexpr uint32_t kDefaultTempo = 120;

// The conversion divides by the tempo: a tempo of 0 read from a file is taken as the default.
constexpr uint32_t TempoOrDefault(uint32_t tempo) {
  return tempo == 0 ? kDefaultTempo : tempo;
}

// The user's conversion settings. Stored as 15 little-endian bytes in `setting.set`, in the
// directory that was current at start; the directory itself is not stored.
struct ConversionSettings {
  uint8_t scaleIndex = 0;
  uint32_t sustain = 0;  // in 32nd notes
  uint32_t tempo = 0;    // beats per minute
  uint8_t timingMode = 0;
  uint16_t resolution = 0;
  uint8_t chordMode = 0;
  uint8_t rangeLow = 0;
  uint8_t rangeHigh = 0;
  std::string settingsDirectory;

  // The settings used when no `setting.set` can be opened; the directory is left as it is.
  void InstallDefaults();

  // Records the current directory as the settings directory, then reads `setting.set` from
  // it. Succeeds when the file could be opened, whatever it held.
  IoResult LoadSettings();
  // Writes `setting.set` into the settings directory.
  IoResult SaveSettings() const;

  // Reads a settings file by path; a short file fills the fields as far as it reaches.
  IoResult ReadSettingsFile(const std::filesystem::path& path);
  IoResult WriteSettingsFile(const std::filesystem::path& path) const;

  // The stored form. Decoding a short buffer keeps the previous value of every field that
  // lies beyond its end and the previous high-order bytes of a field it cuts through.
  std::array<uint8_t, kSettingsFileSize> ToBytes() const;
  void FromBytes(std::span<const uint8_t> bytes);

  // The values the conversion is given: sustain in quarter notes, etc.
  ConversionParameters ToParameters() const;
};

}  // namespace pixorale
