#pragma once

#include <cstdint>
#include <vector>

#include "midi/track.h"

namespace pixorale {

// A note of a part, in ticks from the start of the song.
struct ScoreNote {
  uint32_t onset = 0;
  uint32_t end = 0;
  uint8_t pitch = 0;
  uint8_t velocity = 100;
};

// Appends the notes' note-ons and note-offs on `channel` to a track that stands at tick 0, in
// time order, a note-off before a note-on at the same tick. A note struck again while it still
// sounds ends where it is struck again.
void AppendScoreNotes(Track& track, std::vector<ScoreNote> notes, uint8_t channel);

}  // namespace pixorale
