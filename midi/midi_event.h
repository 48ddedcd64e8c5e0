#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "midi/var_len.h"

namespace pixorale {

namespace midi_status {
inline constexpr uint8_t kNoteOff = 0x80;
inline constexpr uint8_t kNoteOn = 0x90;
inline constexpr uint8_t kProgramChange = 0xC0;
inline constexpr uint8_t kSystemExclusive = 0xF0;
inline constexpr uint8_t kMeta = 0xFF;
}  // namespace midi_status

namespace meta_type {
inline constexpr uint8_t kSequenceNumber = 0x00;
inline constexpr uint8_t kChannelPrefix = 0x20;
inline constexpr uint8_t kPort = 0x21;
inline constexpr uint8_t kEndOfTrack = 0x2F;
inline constexpr uint8_t kTempo = 0x51;
inline constexpr uint8_t kSmpteOffset = 0x54;
inline constexpr uint8_t kTimeSignature = 0x58;
inline constexpr uint8_t kKeySignature = 0x59;
inline constexpr uint8_t kSequencerSpecific = 0x7F;
}  // namespace meta_type

// Bytes of a channel message after its status: program change and channel pressure carry
// one data byte, every other channel message two; statuses below 0x80 are not refused and
// count as two-byte messages.
inline uint32_t ChannelDataBytes(uint8_t status) {
  const uint8_t kind = status >> 4;
  return kind == 0xC || kind == 0xD ? 1 : 2;
}

// One event of a track. Every event carries its own status byte (no running status).
// Where a meta event keeps its payload depends on its type: small fixed payloads live in
// `data2`, `timeSignature` or `smpteOffset`; text and sequencer data in `metaData`.
struct MidiEvent {
  uint8_t status = 0;
  VarLen delta;
  uint8_t data1 = 0;
  std::array<uint8_t, 3> data2{};
  VarLen metaLength;
  std::vector<uint8_t> metaData;
  std::array<uint8_t, 4> timeSignature{};
  std::array<uint8_t, 5> smpteOffset{};

  // Bytes this event occupies in a track chunk, exactly as the writer emits them.
  uint32_t EncodedSize() const;

  bool IsEndOfTrack() const {
    return status == midi_status::kMeta && data1 == meta_type::kEndOfTrack;
  }
};

}  // namespace pixorale
