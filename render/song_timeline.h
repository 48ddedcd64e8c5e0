#pragma once

#include <cstdint>
#include <vector>

#include "midi/song.h"

namespace pixorale {

// A channel event of the song placed in time.
struct TimedEvent {
  double seconds = 0.0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  uint16_t track = 0;
};

// The channel events of all tracks written to the file, merged in time order, with the
// time at which the last event of any track (End of Track included) stands.
struct SongTimeline {
  std::vector<TimedEvent> events;
  double lengthSeconds = 0.0;
};

// Times follow the file's timing: in beat timing the tempo events and the division as ticks
// per quarter note (a song without a tempo event plays at 120 beats per minute, as Standard
// MIDI Files do); in millisecond timing every tick is a millisecond.
SongTimeline BuildTimeline(const Song& song);

// One sounding note: from its note-on to the note-off (or a note-on of velocity 0) that ends
// it, or to the end of the song when nothing does.
struct NoteSpan {
  double start = 0.0;
  double end = 0.0;
  uint8_t pitch = 0;
  uint8_t channel = 0;
  uint8_t velocity = 0;
  uint16_t track = 0;
};

// Every sounding note of the song, in the order a player strikes them (time, then track, then
// file order), and the song's length as BuildTimeline gives it.
struct SongNotes {
  std::vector<NoteSpan> notes;
  double lengthSeconds = 0.0;
};

// Pairs each note-on with the first note-off of the same channel and pitch that follows it in
// its track, without merging the tracks' events first: a song's tracks play on channels of
// their own.
SongNotes CollectNotes(const Song& song);

}  // namespace pixorale
