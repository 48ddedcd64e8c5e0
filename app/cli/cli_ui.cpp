#include "app/cli/cli_ui.h"

#include <iostream>

#include "image/picture_file.h"
#include "io/atomic_file.h"
#include "midi/smf_writer.h"

namespace pixorale::cli {

std::optional<std::string> CliUi::PromptOpenFile(const FileFilter&, std::string_view) {
  return std::nullopt;  // the inputs come from the command line
}

std::optional<std::string> CliUi::PromptSaveFile(const FileFilter&, std::string_view) {
  return job_.outputPath;
}

void CliUi::ShowMessage(std::string_view text, std::string_view) {
  messages_.emplace_back(text);
}

PictureLoad CliUi::LoadPicture(const std::string& path, BitmapImage& image) {
  PictureFileLoad load = LoadPictureFile(path, image);
  return {load.bmp, std::move(load.decodeError)};
}

bool CliUi::SaveSong(Song& song, const std::string& path) {
  const WriteBody body = [&song](std::ostream& out) { return WriteSong(song, out); };
  if (job_.outputDescriptor) {
    std::cout.flush();  // anything printed before stays before the MIDI bytes
    saveResult_ = WriteToDescriptor(*job_.outputDescriptor, body);
  } else {
    // A new MIDI file is not flushed on its own: a crash can cost only the file just made.
    saveResult_ = WriteFileAtomically(
        path, body,
        {.syncNewFile = SyncNewFile::kNo,
         .existing = job_.force ? ExistingFile::kReplace : ExistingFile::kKeep});
  }
  return saveResult_.ok();
}

}  // namespace pixorale::cli
