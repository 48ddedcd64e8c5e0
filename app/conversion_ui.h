#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "image/bitmap_image.h"
#include "image/picture_load.h"
#include "midi/song.h"

namespace pixorale {

// A file-type filter of the file prompts: the text shown and the pattern it stands for.
struct FileFilter {
  std::string_view displayName;
  std::string_view pattern;
};

// The few things a conversion run needs from a user interface. The desktop program shows
// dialogs, the command-line converter answers from its options, tests answer from a script.
class ConversionUi {
 public:
  virtual ~ConversionUi() = default;

  // The path of a file to open, or nothing when the user cancelled.
  virtual std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                                    std::string_view defaultExtension) = 0;
  // The path to save to, or nothing when the user cancelled.
  virtual std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                                    std::string_view defaultExtension) = 0;
  // A message with an OK button only; returns when the user has closed it.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // Reads the picture into the image. The default reads BMP only; the command-line converter
  // also reads PNG and JPEG.
  virtual PictureLoad LoadPicture(const std::string& path, BitmapImage& image);
  // Writes the song to the path the save prompt gave. The default writes the file; a front
  // end may send the bytes elsewhere (the command-line converter's "-" is standard output).
  virtual bool SaveSong(Song& song, const std::string& path);
};

}  // namespace pixorale
