#include "app/song_summary.h"

#include <algorithm>

#include "midi/song_time.h"

namespace pixorale {

SongSummary Summarize(const Song& song) {
  SongSummary summary;
  summary.trackCount = song.trackCount;
  summary.division = song.division;
  summary.timingMode = song.timingMode;
  for (const Track& track : song.tracks) {
    uint64_t ticks = 0;
    for (const MidiEvent& event : track.events) {
      ticks += event.delta.value;
      if (IsTempoEvent(event)) summary.quarterMicroseconds = TempoOf(event);
      if ((event.status & 0xF0) != midi_status::kNoteOn) continue;
      summary.lowestPitch =
          summary.noteCount == 0 ? event.data1 : std::min(summary.lowestPitch, event.data1);
      summary.highestPitch = std::max(summary.highestPitch, event.data1);
      ++summary.noteCount;
    }
    summary.lengthTicks = std::max(summary.lengthTicks, ticks);
  }
  return summary;
}

}  // namespace pixorale
