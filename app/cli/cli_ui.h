#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/conversion_jobs.h"
#include "app/conversion_ui.h"

namespace pixorale::cli {

// The conversion run's prompts answered from the command line: the save prompt gives the
// planned output (or refuses an existing one without --force), messages are kept for the
// error line, and "-" sends the MIDI bytes to standard output.
class CliUi final : public ConversionUi {
 public:
  explicit CliUi(const ConversionJob& job) : job_(job) {}

  std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  // PNG and JPEG as well as BMP.
  PictureLoad LoadPicture(const std::string& path, BitmapImage& image) override;
  bool SaveSong(Song& song, const std::string& path) override;

  const std::vector<std::string>& messages() const { return messages_; }
  bool refusedExistingOutput() const { return refusedExistingOutput_; }
  // Why the last save failed, as the system put it; empty when it did not say.
  const std::string& saveError() const { return saveError_; }
  // Microseconds per quarter note of the written song's tempo event, 0 when it has none.
  uint32_t quarterMicroseconds() const { return quarterMicroseconds_; }

 private:
  const ConversionJob& job_;
  std::vector<std::string> messages_;
  bool refusedExistingOutput_ = false;
  std::string saveError_;
  uint32_t quarterMicroseconds_ = 0;
};

// True when something (even a dangling symbolic link) already has this name.
bool OutputExists(const std::string& path);

}  // namespace pixorale::cli
