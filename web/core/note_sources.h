#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "convert/musical_reading.h"

namespace pixorale::web {

// A row of the picture that the conversion reads, counted from the picture's top as it is
// stored (a JPEG's orientation tag turns nothing), and what it gives the notes.
struct RowRead {
  uint32_t fromTop = 0;
  std::string_view role;  // "pitch" (and, with dynamics, loudness) or "time" (to the next note)
};

// The rows a conversion reads of a picture `height` rows tall: its first stored row gives
// the pitches, its middle stored row the times. Row 0 is the picture's bottom row unless the
// file stores it top row first.
std::vector<RowRead> RowsRead(uint32_t height, bool firstRowOnTop);

// Fills in, for every note of `notes` (`fieldsPerNote` numbers each, its track at
// `trackField`, in the order a player strikes them), the first and last picture column it
// comes from, at `columnField` and the one after. The musical reading says where each melody
// note was read (`sources`, one for each); otherwise the melody's k-th note is column k of
// the picture resampled from `pictureWidth` to `columns` columns. A chord note comes from the
// melody note it starts with.
void AssignSourceColumns(std::span<float> notes, size_t fieldsPerNote, size_t trackField,
                         size_t columnField, uint32_t pictureWidth, uint32_t columns,
                         std::span<const NoteSource> sources);

}  // namespace pixorale::web
