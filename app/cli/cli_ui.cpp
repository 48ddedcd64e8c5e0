#include "app/cli/cli_ui.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "image/picture_file.h"
#include "midi/smf_writer.h"

namespace pixorale::cli {
namespace {

uint32_t TempoOf(const Song& song) {
  if (song.tracks.empty()) return 0;
  for (const MidiEvent& event : song.tracks.front().events) {
    if (event.status == midi_status::kMeta && event.data1 == meta_type::kTempo) {
      return (uint32_t{event.data2[0]} << 16) | (uint32_t{event.data2[1]} << 8) | event.data2[2];
    }
  }
  return 0;
}

}  // namespace

bool OutputExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

std::optional<std::string> CliUi::PromptOpenFile(const FileFilter&, std::string_view) {
  return std::nullopt;  // the inputs come from the command line
}

std::optional<std::string> CliUi::PromptSaveFile(const FileFilter&, std::string_view) {
  // Checked again here, right before writing, in case the file appeared meanwhile.
  if (!job_.toStandardOutput && !job_.force && OutputExists(job_.outputPath)) {
    refusedExistingOutput_ = true;
    return std::nullopt;
  }
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
  quarterMicroseconds_ = TempoOf(song);
  errno = 0;
  const bool written = job_.toStandardOutput ? WriteSong(song, std::cout) && std::cout.flush()
                                             : ConversionUi::SaveSong(song, path);
  // errno is the thread's own, so a parallel job cannot have changed it.
  if (!written && errno != 0) saveError_ = std::generic_category().message(errno);
  return written;
}

}  // namespace pixorale::cli
