#pragma once

#include <cstdint>

#include "midi/event_list.h"
#include "midi/midi_event.h"

namespace pixorale {

// One track chunk in memory; events are kept in the order they were appended.
struct Track {
  uint32_t byteLength = 0;  // valid after ComputeLength
  EventList events;

  void AppendEvent(const MidiEvent& event) { events.push_back(event); }
  // byteLength becomes the sum of the events' encoded sizes.
  void ComputeLength();
  // Empties the track, payloads included, and resets byteLength.
  void ClearEvents();
};

}  // namespace pixorale
