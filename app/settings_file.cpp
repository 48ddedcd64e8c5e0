#include <fstream>
#include <system_error>

#include "app/conversion_settings.h"
#include "io/atomic_file.h"

namespace pixorale {

bool ConversionSettings::ReadSettingsFile(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::array<uint8_t, kSettingsFileSize> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  FromBytes(std::span<const uint8_t>(bytes.data(), static_cast<size_t>(in.gcount())));
  // The conversion divides by the tempo; 0 (an empty or short file) loads as the default.
  if (tempo == 0) tempo = kDefaultTempo;
  return true;
}

bool ConversionSettings::WriteSettingsFile(const std::filesystem::path& path) const {
  const auto bytes = ToBytes();
  return WriteFileAtomically(path.string(), [&bytes](std::ostream& out) {
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return static_cast<bool>(out);
  });
}

bool ConversionSettings::LoadSettings() {
  std::error_code error;
  settingsDirectory = std::filesystem::current_path(error).string();
  return ReadSettingsFile(std::filesystem::path(settingsDirectory) / kSettingsFileName);
}

bool ConversionSettings::SaveSettings() const {
  // Always the start directory, wherever the current directory has moved since.
  return WriteSettingsFile(std::filesystem::path(settingsDirectory) / kSettingsFileName);
}

}  // namespace pixorale
