#include "midi/midi_event.h"

namespace pixorale {

uint32_t MidiEvent::EncodedSize() const {
  const uint32_t deltaBytes = delta.EncodedLength();
  const uint8_t kind = status >> 4;
  if (kind < 0xF) return deltaBytes + 1 + ChannelDataBytes(status);
  const uint32_t lengthAndPayload = metaLength.EncodedLength() + metaLength.value;
  if (status == midi_status::kMeta) return deltaBytes + 2 + lengthAndPayload;  // type byte
  return deltaBytes + 1 + lengthAndPayload;
}

}  // namespace pixorale
