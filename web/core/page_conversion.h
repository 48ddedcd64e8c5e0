#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/converter/convert_one.h"
#include "app/converter/failure.h"

namespace pixorale::web {

// The fields of the summary the page is given of a converted song.
inline constexpr const char* kSummaryFieldNames[] = {
    "notes", "tracks", "lengthTicks", "seconds", "lowestPitch", "highestPitch", "columns"};

// The numbers of one note in PageConversion::notes, in this order.
inline constexpr const char* kNoteFieldNames[] = {"start", "end", "pitch", "velocity", "track"};
inline constexpr size_t kNoteFields = std::size(kNoteFieldNames);

// What the page shows of one conversion.
struct PageConversion {
  std::optional<converter::Failure> failure;  // none: converted
  std::vector<converter::Warning> warnings;
  std::string midiName;  // the picture's name with .mid
  std::string midi;      // the bytes of the Standard MIDI File
  converter::ConversionOutcome outcome;
  double seconds = 0.0;  // from the first event to the last
  // Every sounding note: start and end in seconds, pitch, velocity, track (0 the melody).
  std::vector<float> notes;
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
