#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/conversion_jobs.h"
#include "app/conversion_ui.h"
#include "convert/voices.h"
#include "io/io_result.h"

namespace pixorale::cli {

// The same for every input: the parts' voices, the SoundFont for WAV files (chosen and
// checked once) and whether a render shows its progress on the terminal.
struct RenderSettings {
  SongVoices voices;
  std::string soundFontPath;
  bool showProgress = false;
};

// Why an output that exists is not replaced.
inline constexpr const char* kRefusedExistingOutput =
    "already exists; use -f/--force to replace it";

// An output made beside the MIDI file that failed, and why.
struct ExtraOutputFailure {
  std::string path;
  std::string reason;
};

// The conversion run's prompts answered from the command line: the save prompt gives the
// planned output, messages are kept for the error line, and an output that stands for a
// descriptor (standard output) is written in place. Without --force an existing output is
// kept, decided by the write's last step, so a file that appears meanwhile is kept too.
class CliUi final : public ConversionUi {
 public:
  explicit CliUi(const ConversionJob& job, const RenderSettings& render = {})
      : job_(job), render_(render) {}

  std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  // PNG and JPEG as well as BMP.
  PictureLoad LoadPicture(const std::string& path, BitmapImage& image) override;
  // Gives the parts their voices and writes the MIDI file, the WAV and the piano roll asked
  // for together: all of them or none. False when the MIDI file failed; when the WAV or the
  // piano roll failed, extraFailure() tells which and why, and none was published.
  bool SaveSong(Song& song, const std::string& path) override;

  const std::vector<std::string>& messages() const { return messages_; }
  // How the last save went.
  const IoResult& saveResult() const { return saveResult_; }
  // The WAV or piano roll that could not be made, so that none of the files was published.
  const std::optional<ExtraOutputFailure>& extraFailure() const { return extraFailure_; }

 private:
  const ConversionJob& job_;
  const RenderSettings& render_;
  std::vector<std::string> messages_;
  IoResult saveResult_;
  std::optional<ExtraOutputFailure> extraFailure_;
};

}  // namespace pixorale::cli
