#pragma once

#include <string>

#include "app/conversion_run.h"

namespace pixorale {

// The main window's ways into a conversion run, shared by the desktop shells: the Open
// command and a dropped file. A run's save prompt and message box leave the main window
// enabled, and a second run would share the song and the image with the first, so while
// one run is in progress the others are refused.
class ConversionCommands {
 public:
  ConversionCommands(ProgramState& state, RandomBitSource& bits, ConversionUi& ui)
      : state_(state), bits_(bits), ui_(ui) {}

  // Asks for a picture and converts whatever path the user confirmed: the prompt's filter is
  // the only extension check.
  void OpenPicture();
  // A dropped file is converted only when its name ends in ".bmp" or ".BMP".
  void ConvertDroppedFile(const std::string& path);
  // True while a run, with its prompts, is in progress.
  bool IsConverting() const { return converting_; }

 private:
  void Convert(const std::string& path);

  ProgramState& state_;
  RandomBitSource& bits_;
  ConversionUi& ui_;
  bool converting_ = false;
};

}  // namespace pixorale
