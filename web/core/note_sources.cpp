#include "note_sources.h"

#include "convert/column_resample.h"

namespace pixorale::web {

std::vector<RowRead> RowsRead(uint32_t height, bool firstRowOnTop) {
  if (height == 0) return {};
  const auto fromTop = [&](uint32_t stored) {
    return firstRowOnTop ? stored : height - 1 - stored;
  };
  return {{fromTop(0), "pitch"}, {fromTop(height / 2), "time"}};
}

void AssignSourceColumns(std::span<float> notes, size_t fieldsPerNote, size_t trackField,
                         size_t columnField, uint32_t pictureWidth, uint32_t columns,
                         std::span<const NoteSource> sources) {
  const auto melodyNotes = static_cast<uint32_t>(sources.empty() ? columns : sources.size());
  uint32_t melodyNote = 0;
  ColumnSpan span;
  for (size_t at = 0; at + fieldsPerNote <= notes.size(); at += fieldsPerNote) {
    // Melody notes come before chord notes that start with them.
    if (notes[at + trackField] == 0.0F && melodyNote < melodyNotes) {
      if (sources.empty()) {
        span = ResampledSpan(pictureWidth, columns, melodyNote);
      } else {
        const NoteSource& source = sources[melodyNote];
        span = {source.firstColumn, source.endColumn == 0 ? 0 : source.endColumn - 1};
      }
      ++melodyNote;
    }
    notes[at + columnField] = static_cast<float>(span.first);
    notes[at + columnField + 1] = static_cast<float>(span.last);
  }
}

}  // namespace pixorale::web
