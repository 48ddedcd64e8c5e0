#pragma once

#include <cstdint>

#include "midi/song.h"

namespace pixorale {

// What a converted song holds, for the shells that report it.
struct SongSummary {
  uint64_t noteCount = 0;   // note-ons over all tracks
  uint8_t lowestPitch = 0;  // of the note-ons, when there are any
  uint8_t highestPitch = 0;
  uint16_t trackCount = 0;
  uint64_t lengthTicks = 0;  // of the longest track
  uint16_t division = 0;
  uint8_t timingMode = 0;
  uint32_t quarterMicroseconds = 0;  // of the song's tempo event
};

SongSummary Summarize(const Song& song);

}  // namespace pixorale
