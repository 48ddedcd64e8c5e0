#include <system_error>

#include "app/conversion_settings.h"
#include "io/atomic_file.h"
#include "io/read_only_file.h"
#include "io/utf8_path.h"

namespace pixorale {

IoResult ConversionSettings::ReadSettingsFile(const std::filesystem::path& path) {
  // Only a regular file is read: a FIFO would wait for a writer forever, and a directory or
  // a device holds no settings. Either counts as no file.
  ReadOnlyFile file;
  if (const IoResult opened = file.Open(Utf8FromPath(path)); !opened) return opened;
  std::array<uint8_t, kSettingsFileSize> bytes{};
  const int64_t got = file.ReadAt(0, bytes);
  if (got < 0) return IoResult::Failure(IoStep::kRead, file.LastError());
  FromBytes(std::span<const uint8_t>(bytes.data(), static_cast<size_t>(got)));
  // An empty or short file leaves a tempo of 0.
  tempo = TempoOrDefault(tempo);
  return {};
}

IoResult ConversionSettings::WriteSettingsFile(const std::filesystem::path& path) const {
  const auto bytes = ToBytes();
  // A setting.set that is a FIFO or a device is refused rather than written in place, so a
  // save never waits for a reader.
  return WriteFileAtomically(Utf8FromPath(path),
                             [&bytes](std::ostream& out) {
                               out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                               return static_cast<bool>(out);
                             },
                             {.nonRegular = NonRegularTarget::kRefuse});
}

IoResult ConversionSettings::LoadSettings() {
  std::error_code error;
  settingsDirectory = Utf8FromPath(std::filesystem::current_path(error));
  return ReadSettingsFile(PathFromUtf8(settingsDirectory) / kSettingsFileName);
}

IoResult ConversionSettings::SaveSettings() const {
  // Always the start directory, wherever the current directory has moved since.
  return WriteSettingsFile(PathFromUtf8(settingsDirectory) / kSettingsFileName);
}

}  // namespace pixorale
