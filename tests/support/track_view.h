#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "midi/track.h"

namespace pixorale::test {

// The parts of a channel event that the conversion decides, for table comparisons.
struct NoteEvent {
  uint8_t status;
  uint8_t pitch;
  uint32_t delta;
  bool operator==(const NoteEvent&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const NoteEvent& e) {
  return out << "{0x" << std::hex << int{e.status} << std::dec << ", " << int{e.pitch} << ", "
             << e.delta << "}";
}

// The track's events from `first` on, as (status, data1, delta).
inline std::vector<NoteEvent> NoteEvents(const Track& track, size_t first = 0) {
  std::vector<NoteEvent> result;
  for (size_t i = first; i < track.events.size(); ++i) {
    const MidiEvent& e = track.events[i];
    result.push_back({e.status, e.data1, e.delta.value});
  }
  return result;
}

}  // namespace pixorale::test
