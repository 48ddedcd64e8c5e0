#include "midi/midi_event.h"

namespace pixorale {

uint32_t MidiEvent::EncodedSize() const {
  const uint32_t deltaBytes = delta.EncodedLength();
  const uint8_t kind = status >> 4;
  if (kind < 0xF) {
    // Program change and channel pressure carry one data byte, every other channel
    // message two; statuses below 0x80 are not refused and count as two-byte messages.
    const bool oneDataByte = kind == 0xC || kind == 0xD;
    return deltaBytes + 1 + (oneDataByte ? 1 : 2);
  }
  const uint32_t lengthAndPayload = metaLength.EncodedLength() + metaLength.value;
  if (status == midi_status::kMeta) return deltaBytes + 2 + lengthAndPayload;  // type byte
  return deltaBytes + 1 + lengthAndPayload;
}

}  // namespace pixorale
