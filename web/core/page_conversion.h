#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "note_sources.h"
#include "page_messages.h"

namespace pixorale::web {

// Numbers per note in PageConversion::notes, and where the picture columns stand.
inline constexpr size_t kNoteFields = 7;
inline constexpr size_t kNoteTrackField = 4;
inline constexpr size_t kNoteColumnField = 5;

// What the page shows of one conversion.
struct PageConversion {
  bool converted = false;
  // Why not, when not converted; the reason is one line as the converter writes it, without
  // the program's name.
  PageMessage error;
  std::vector<PageMessage> warnings;  // the same
  std::string midiName;               // the picture's name with .mid
  std::string midi;                   // the bytes of the Standard MIDI File
  RunReport report;
  double seconds = 0.0;  // from the first event to the last
  // Every sounding note: start and end in seconds, pitch, velocity, track (0 the melody), and
  // the first and last picture column it comes from (exact below 2^24).
  std::vector<float> notes;
  std::vector<RowRead> rowsRead;  // of the picture, with its size in `report`
};

// Converts the picture at `picturePath` with converter options (e.g. "--seed", "7"), parsed
// as the converter parses them, so that `pixorale-convert PICTURE OPTIONS...` writes the
// same bytes. Options that would read or write other files are refused.
PageConversion ConvertForPage(const std::string& picturePath,
                              const std::vector<std::string>& options);

}  // namespace pixorale::web
