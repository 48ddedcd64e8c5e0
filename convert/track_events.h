#pragma once

#include <cstdint>

#include "midi/midi_event.h"

// The event shapes the conversion builds; every delta and length is set through Assign.
namespace pixorale::track_events {

inline MidiEvent ChannelEvent(uint8_t status, uint8_t data1, uint8_t data2, uint32_t delta) {
  MidiEvent event;
  event.status = status;
  event.data1 = data1;
  event.data2[0] = data2;
  event.delta.Assign(delta);
  return event;
}

inline MidiEvent NoteOn(uint8_t channel, uint8_t pitch, uint8_t velocity, uint32_t delta) {
  return ChannelEvent(midi_status::kNoteOn | channel, pitch, velocity, delta);
}

inline MidiEvent NoteOff(uint8_t channel, uint8_t pitch, uint32_t delta) {
  return ChannelEvent(midi_status::kNoteOff | channel, pitch, 0, delta);
}

inline MidiEvent ProgramChange(uint8_t channel, uint8_t program) {
  return ChannelEvent(midi_status::kProgramChange | channel, program, 0, 0);
}

// Microseconds per quarter note, most significant byte first.
inline MidiEvent Tempo(uint32_t quarterMicroseconds) {
  MidiEvent event;
  event.status = midi_status::kMeta;
  event.data1 = meta_type::kTempo;
  event.data2 = {static_cast<uint8_t>(quarterMicroseconds >> 16),
                 static_cast<uint8_t>(quarterMicroseconds >> 8),
                 static_cast<uint8_t>(quarterMicroseconds)};
  event.metaLength.Assign(3);
  return event;
}

// Beats in a bar of quarter notes, with 24 MIDI clocks a click and eight 32nd notes a quarter.
inline MidiEvent TimeSignature(uint8_t beatsPerBar) {
  constexpr uint8_t kQuarterAsPowerOfTwo = 2;
  MidiEvent event;
  event.status = midi_status::kMeta;
  event.data1 = meta_type::kTimeSignature;
  event.timeSignature = {beatsPerBar, kQuarterAsPowerOfTwo, 24, 8};
  event.metaLength.Assign(4);
  return event;
}

inline MidiEvent EndOfTrack() {
  MidiEvent event;
  event.status = midi_status::kMeta;
  event.data1 = meta_type::kEndOfTrack;
  return event;
}

}  // namespace pixorale::track_events
