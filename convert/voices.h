#pragma once

#include <cstdint>

#include "midi/song.h"

namespace pixorale {

// The instrument (General MIDI program, 0 to 127) and the note-on velocity of one part.
struct Voice {
  uint8_t program = 0;
  uint8_t velocity = 100;
};

// What the conversion gives each part: the melody on channel 1 plays program 0, the chords on
// channel 2 program 99, both at velocity 100.
struct SongVoices {
  Voice melody{0, 100};
  Voice chords{99, 100};
};

// Gives the program changes and the note-ons of the melody and chord channels the chosen
// program and velocity. Note-offs are left alone, and with the default voices nothing
// changes. A velocity of 0 would turn every note-on into a note-off, so it is not allowed.
void ApplyVoices(Song& song, const SongVoices& voices);

}  // namespace pixorale
