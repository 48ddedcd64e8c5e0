#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "midi/midi_event.h"

namespace pixorale::test {

inline MidiEvent ChannelEvent(uint32_t delta, uint8_t status, uint8_t data1, uint8_t data2 = 0) {
  MidiEvent event;
  event.delta.Assign(delta);
  event.status = status;
  event.data1 = data1;
  event.data2[0] = data2;
  return event;
}

// A meta event whose payload sits wherever its type keeps it; the caller fills that place.
inline MidiEvent MetaEvent(uint32_t delta, uint8_t type, uint32_t payloadLength) {
  MidiEvent event;
  event.delta.Assign(delta);
  event.status = midi_status::kMeta;
  event.data1 = type;
  event.metaLength.Assign(payloadLength);
  return event;
}

inline MidiEvent MetaEventWithData(uint32_t delta, uint8_t type, std::vector<uint8_t> payload) {
  MidiEvent event = MetaEvent(delta, type, static_cast<uint32_t>(payload.size()));
  event.metaData = std::move(payload);
  return event;
}

inline MidiEvent SystemEvent(uint32_t delta, uint8_t status, std::vector<uint8_t> payload) {
  MidiEvent event;
  event.delta.Assign(delta);
  event.status = status;
  event.metaLength.Assign(static_cast<uint32_t>(payload.size()));
  event.metaData = std::move(payload);
  return event;
}

inline MidiEvent TempoEvent(uint32_t delta, uint8_t b0, uint8_t b1, uint8_t b2) {
  MidiEvent event = MetaEvent(delta, meta_type::kTempo, 3);
  event.data2 = {b0, b1, b2};
  return event;
}

inline MidiEvent EndOfTrackEvent(uint32_t delta = 0) {
  return MetaEvent(delta, meta_type::kEndOfTrack, 0);
}

}  // namespace pixorale::test
