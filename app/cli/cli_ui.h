#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/conversion_jobs.h"
#include "app/conversion_ui.h"
#include "io/io_result.h"

namespace pixorale::cli {

// The conversion run's prompts answered from the command line: the save prompt gives the
// planned output, messages are kept for the error line, and an output that stands for a
// descriptor (standard output) is written in place. Without --force an existing output is
// kept, decided by the write's last step, so a file that appears meanwhile is kept too.
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
  // How the last save went.
  const IoResult& saveResult() const { return saveResult_; }

 private:
  const ConversionJob& job_;
  std::vector<std::string> messages_;
  IoResult saveResult_;
};

}  // namespace pixorale::cli
