#include "app/save_step.h"

#include "app/ui_texts.h"

namespace pixorale {

void PromptingSaveStep::RefusePicture() {
  ui_.ShowMessage(texts::kNot24Bit, texts::kErrorCaption);
}

std::optional<std::vector<OutputReport>> PromptingSaveStep::Save(Song& song) {
  const std::optional<std::string> path =
      ui_.PromptSaveFile(texts::kMidiFilter, texts::kMidiExtension);
  if (!path) return std::nullopt;
  std::vector<OutputReport> outputs = outputs_.Write(song, *path);
  // The message is the MIDI file's; an output withheld because another failed has its own.
  if (outputs.empty() || (!outputs.front().ok() && !outputs.front().withheld)) {
    ui_.ShowMessage(texts::kCannotSaveMidi, texts::kErrorCaption);
  }
  return outputs;
}

}  // namespace pixorale
