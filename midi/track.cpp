#include "midi/track.h"

namespace pixorale {

void Track::ComputeLength() {
  uint32_t length = 0;
  for (const MidiEvent& event : events) length += event.EncodedSize();
  byteLength = length;
}

void Track::ClearEvents() {
  byteLength = 0;
  events.clear();  // each event's payload goes with it
}

}  // namespace pixorale
