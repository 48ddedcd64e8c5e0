#include "midi/track.h"

namespace pixorale {

void Track::ComputeLength() {
  byteLength = events.EncodedSize();
}

void Track::ClearEvents() {
  byteLength = 0;
  events.clear();  // each event's payload goes with it
}

}  // namespace pixorale
