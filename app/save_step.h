#pragma once

#include <optional>
#include <vector>

#include "app/conversion_ui.h"
#include "app/song_outputs.h"
#include "midi/song.h"

namespace pixorale {

// What a shell does where a conversion run meets its user: a picture that is not a 24-bit
// one, and a song to save. The desktop programs prompt and show messages; the command-line
// converter and the page write where they planned to before the run.
class SaveStep {
 public:
  virtual ~SaveStep() = default;
  // The picture was read, but it is not a 24-bit one.
  virtual void RefusePicture() = 0;
  // Makes the song's outputs, the MIDI file first, one report each in order; nothing when no
  // output was chosen. The song is only read (writing recomputes each track's byte length).
  virtual std::optional<std::vector<OutputReport>> Save(Song& song) = 0;
};

// The desktop programs' step: the 24-bit message; the save prompt, then the outputs, and the
// MIDI file's message when it could not be saved.
class PromptingSaveStep final : public SaveStep {
 public:
  PromptingSaveStep(ConversionUi& ui, SongOutputs& outputs) : ui_(ui), outputs_(outputs) {}

  void RefusePicture() override;
  std::optional<std::vector<OutputReport>> Save(Song& song) override;

 private:
  ConversionUi& ui_;
  SongOutputs& outputs_;
};

}  // namespace pixorale
