#pragma once

#include <cstdint>

#include "midi/midi_event.h"

namespace pixorale {

// In millisecond timing (the timing mode's lowest bit) every tick is a millisecond, whatever
// the division and the tempo.
inline constexpr double kMillisecondTicksPerSecond = 1000.0;

inline bool IsMillisecondTiming(uint8_t timingMode) {
  return (timingMode & 1) != 0;
}

// In beat timing: how long `ticks` last at one tempo, `division` (not 0) ticks per quarter
// note of `quarterMicroseconds`.
inline double BeatTicksToSeconds(double ticks, uint16_t division, uint32_t quarterMicroseconds) {
  const double quarters = ticks / division;
  return quarters * quarterMicroseconds / 1e6;
}

// Of a MidiEvent, or of anything that keeps its status and data bytes.
template <typename Event>
bool IsTempoEvent(const Event& event) {
  return event.status == midi_status::kMeta && event.data1 == meta_type::kTempo;
}

// Microseconds per quarter note of a tempo event: three bytes, most significant first.
template <typename Event>
uint32_t TempoOf(const Event& event) {
  return (uint32_t{event.data2[0]} << 16) | (uint32_t{event.data2[1]} << 8) | event.data2[2];
}

}  // namespace pixorale
