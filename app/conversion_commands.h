#pragma once

#include <string>

#include "app/conversion_run.h"
#include "app/save_step.h"
#include "app/song_outputs.h"
#include "image/picture_source.h"

namespace pixorale {

// The desktop shells' ways into a conversion run: the command line, the Open command and a
// dropped file. Each run reads a BMP file and writes the MIDI file the save prompt names. A run's
// save prompt and message box leave the main window enabled, and a second run would share the song
// and the image with the first, so while one run is in progress the others are refused.
class ConversionCommands {
 public:
  ConversionCommands(ProgramState& state, RandomBitSource& bits, ConversionUi& ui)
      : state_(state), bits_(bits), ui_(ui), save_(ui, midiFile_) {}

  // Asks for a picture and converts whatever path the user confirmed: the prompt's filter is
  // the only extension check.
  void OpenPicture();
  // A dropped file is converted only when its name ends in ".bmp" or ".BMP".
  void ConvertDroppedFile(const std::string& path);
  // So is the command-line tail, taken whole.
  void ConvertCommandLine(std::string_view tail);
  // True while a run, with its prompts, is in progress.
  bool IsConverting() const { return converting_; }

 private:
  void Convert(std::string_view path);

  ProgramState& state_;
  RandomBitSource& bits_;
  ConversionUi& ui_;
  BmpPictureSource picture_;
  MidiFileOutput midiFile_;
  PromptingSaveStep save_;
  bool converting_ = false;
};

}  // namespace pixorale
