#pragma once

#include <cstdint>

#include "midi/song.h"

namespace pixorale {

// Derives the chord track (channel 2) from the song's first track and appends it as track 2.
void BuildChordTrack(Song& song, uint16_t division);

}  // namespace pixorale
