#pragma once

#include <cstdint>
#include <string_view>

#include "convert/melody.h"
#include "midi/song.h"

namespace pixorale::fuzz {

// What a converted song must satisfy whatever picture and parameters it came from: only
// note-ons, note-offs, a program change, a tempo and End of Track, on the right channel;
// notes balanced per track; every melody note held for exactly the sustain unless the same
// pitch is struck again; the chord track ending where the melody ends.
void CheckConvertedSong(const Song& song, const ConversionParameters& params, uint32_t columns);

// Reads the written file back with a decoder of its own and compares every chunk length,
// delta, status and data byte with the song in memory.
void CheckWrittenSong(const Song& song, std::string_view file);

}  // namespace pixorale::fuzz
