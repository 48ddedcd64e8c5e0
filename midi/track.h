#pragma once

#include <cstdint>
#include <vector>

#include "midi/large_block_allocator.h"
#include "midi/midi_event.h"

namespace pixorale {

// One track chunk in memory; events are kept in the order they were appended.
struct Track {
  uint32_t byteLength = 0;  // valid after ComputeLength
  std::vector<MidiEvent, LargeBlockAllocator<MidiEvent>> events;

  void AppendEvent(const MidiEvent& event) { events.push_back(event); }
  void AppendEvent(MidiEvent&& event) { events.push_back(std::move(event)); }
  // byteLength becomes the sum of the events' encoded sizes.
  void ComputeLength();
  // Empties the track, payloads included, and resets byteLength.
  void ClearEvents();
};

}  // namespace pixorale
