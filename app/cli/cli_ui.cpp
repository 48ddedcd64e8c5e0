#include "app/cli/cli_ui.h"

#include <iostream>

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
  if (input_ != nullptr) return LoadPictureFile(*input_, image, render_.pictureLimits);
  return LoadPictureFile(path, image, render_.pictureLimits);
}

bool CliUi::SaveSong(Song& song, const std::string& path) {
  ApplyVoices(song, render_.voices);
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
  if (!saveResult_.ok()) return false;
  MakeExtraOutputs(song);
  return true;
}

void CliUi::MakeExtraOutputs(const Song& song) {
  const WriteOptions write{.syncNewFile = SyncNewFile::kNo,
                           .existing = job_.force ? ExistingFile::kReplace : ExistingFile::kKeep};
  // A file that appeared since the check before converting is kept, and told alike.
  const auto reasonOf = [](const RenderResult& result) {
    return result.io.failedStep == IoStep::kExists ? std::string(kRefusedExistingOutput)
                                                   : result.error;
  };
  if (job_.wavPath) {
    WavRenderOptions options;
    options.write = write;
    options.soundFontPath = render_.soundFontPath;
    RenderProgress progress(std::cerr, render_.showProgress, *job_.wavPath);
    options.progress = [&progress](double done) { progress.Show(done); };
    const WavRenderResult result = RenderSongToWav(song, *job_.wavPath, options);
    progress.Clear();
    if (!result.ok()) {
      extraFailure_ = {*job_.wavPath, reasonOf(result)};
      return;
    }
  }
  if (job_.pianoRollPath) {
    if (const RenderResult drawn = DrawPianoRoll(song, *job_.pianoRollPath, write); !drawn.ok()) {
      extraFailure_ = {*job_.pianoRollPath, reasonOf(drawn)};
    }
  }
}

}  // namespace pixorale::cli
