#pragma once

#include <cstdint>

#include "convert/voices.h"
#include "midi/song.h"

namespace pixorale {

// Derives the chord track (channel 2) from the song's first track and appends it as track 2,
// played with the given voice.
void BuildChordTrack(Song& song, uint16_t division, Voice voice = kDefaultChordVoice);

}  // namespace pixorale
