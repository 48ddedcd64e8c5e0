#pragma once

#include <cstdint>

namespace pixorale {

// The melody plays on MIDI channel 1, the chords on channel 2 (status low nibbles 0 and 1).
inline constexpr uint8_t kMelodyChannel = 0;
inline constexpr uint8_t kChordChannel = 1;

// The instrument (General MIDI program, 0 to 127) and the note-on velocity of one part. A
// velocity of 0 would turn every note-on into a note-off, so it is never given.
struct Voice {
  uint8_t program = 0;
  uint8_t velocity = 100;
  bool operator==(const Voice&) const = default;
};

// What the conversion gives each part unless told otherwise: the melody plays program 0,
// the chords program 99, both at velocity 100.
inline constexpr Voice kDefaultMelodyVoice{0, 100};
inline constexpr Voice kDefaultChordVoice{99, 100};

struct SongVoices {
  Voice melody = kDefaultMelodyVoice;
  Voice chords = kDefaultChordVoice;
  bool operator==(const SongVoices&) const = default;
};

}  // namespace pixorale
