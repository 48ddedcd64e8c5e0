#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/converter/convert_one.h"
#include "app/converter/failure.h"
#include "note_sources.h"

namespace pixorale::web {

// The fields of the summary the page is given of a converted song.
inline constexpr const char* kSummaryFieldNames[] = {
    "notes", "tracks", "lengthTicks", "seconds", "lowestPitch", "highestPitch", "columns"};

// The numbers of one note in PageConversion::notes, in this order.
inline constexpr const char* kNoteFieldNames[] = {"start", "end",         "pitch",     "velocity",
                                                  "track", "firstColumn", "lastColumn"};
inline constexpr size_t kNoteFields = std::size(kNoteFieldNames);

// The place of a note's number in the record, by its name.
constexpr size_t NoteField(std::string_view name) {
  size_t field = 0;
  while (field < kNoteFields && name != kNoteFieldNames[field]) ++field;
  return field;
}

// What the page shows of one conversion.
struct PageConversion {
  std::optional<converter::Failure> failure;  // none: converted
  std::vector<converter::Warning> warnings;
  std::string midiName;  // the picture's name with .mid
  std::string midi;      // the bytes of the Standard MIDI File
  converter::ConversionOutcome outcome;
  double seconds = 0.0;  // from the first event to the last
  // Every sounding note: start and end in seconds, pitch, velocity, track (0 the melody), and
  // the first and last picture column it comes from (exact below 2^24).
  std::vector<float> notes;
  std::vector<RowRead> rowsRead;  // of the picture, whose size is in outcome.report
};

// Converts the picture at `picturePath` with converter options as words (e.g. "--seed",
// "7"), read as the converter reads them, so that `pixorale-convert PICTURE OPTIONS...` writes
// the same bytes. Options that would read or write other files are refused. `shownName` is the
// picture's name as its user knows it, which failures and warnings about it give.
// The summary's values, in the order of kSummaryFieldNames.
std::array<double, std::size(kSummaryFieldNames)> SummaryValues(const PageConversion& page);

PageConversion ConvertForPage(const std::string& picturePath, const std::string& shownName,
                              const std::vector<std::string>& options);

}  // namespace pixorale::web
