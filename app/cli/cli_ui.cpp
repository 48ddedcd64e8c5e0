#include "app/cli/cli_ui.h"

#include <iostream>
#include <vector>

#include "app/cli/render_progress.h"
#include "image/picture_file.h"
#include "io/atomic_file.h"
#include "midi/smf_writer.h"
#include "render/piano_roll.h"
#include "render/wav_render.h"

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
  ApplyVoices(song, render_.voices);
  // A new file is not flushed on its own: a crash can cost only the files just made.
  const WriteOptions write{.syncNewFile = SyncNewFile::kNo,
                           .existing = job_.force ? ExistingFile::kReplace : ExistingFile::kKeep};
  std::vector<PlannedFile> files{{path, job_.outputDescriptor,
                                  [&song](std::ostream& out) { return WriteSong(song, out); },
                                  write}};
  RenderResult wav;
  RenderResult roll;
  if (job_.wavPath) {
    files.push_back({*job_.wavPath, job_.wavDescriptor,
                     [&](std::ostream& out) {
                       WavRenderOptions options;
                       options.soundFontPath = render_.soundFontPath;
                       RenderProgress progress(std::cerr, render_.showProgress, *job_.wavPath);
                       options.progress = [&progress](double done) { progress.Show(done); };
                       const WavRenderResult result = RenderSongToWav(song, out, options);
                       progress.Clear();
                       wav = result;
                       return result.ok();
                     },
                     write});
  }
  if (job_.pianoRollPath) {
    files.push_back({*job_.pianoRollPath, job_.pianoRollDescriptor,
                     [&](std::ostream& out) { return (roll = DrawPianoRoll(song, out)).ok(); },
                     write});
  }
  std::cout.flush();  // anything printed before stays before bytes sent to standard output
  const FilesResult written = WriteFilesTogether(files);
  if (written) return true;
  if (written.failed == 0) {
    saveResult_ = written.io;
    return false;
  }
  // A file that appeared since the check before converting is kept, and told alike; a
  // render that gave up says why, a stream that failed is told by its writer.
  const RenderResult& render = job_.wavPath && written.failed == 1 ? wav : roll;
  std::string reason = written.io.failedStep == IoStep::kExists ? kRefusedExistingOutput
                       : written.io.failedStep == IoStep::kBody && !render.ok()
                           ? render.error
                           : DescribeIoResult(written.io);
  extraFailure_ = {files[written.failed].path, std::move(reason)};
  return true;
}

}  // namespace pixorale::cli
