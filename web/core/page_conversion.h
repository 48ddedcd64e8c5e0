#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/conversion_run.h"

namespace pixorale::web {

// Numbers per note in PageConversion::notes.
inline constexpr size_t kNoteFields = 5;

// What the page shows of one conversion.
struct PageConversion {
  bool converted = false;
  std::string error;  // one line, as the converter writes it, without the program's name
  std::vector<std::string> warnings;  // the same
  std::string midiName;               // the picture's name with .mid
  std::string midi;                   // the bytes of the Standard MIDI File
  RunReport report;
  double seconds = 0.0;  // from the first event to the last
  // Every sounding note: start and end in seconds, pitch, velocity, track (0 the melody).
  std::vector<float> notes;
};

// Converts the picture at `picturePath` with converter options (e.g. "--seed", "7"), parsed
// as the converter parses them, so that `pixorale-convert PICTURE OPTIONS...` writes the
// same bytes. Options that would read or write other files are refused.
PageConversion ConvertForPage(const std::string& picturePath,
                              const std::vector<std::string>& options);

}  // namespace pixorale::web
