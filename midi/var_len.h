#pragma once

#include <cstdint>
#include <ostream>

namespace pixorale {

// A MIDI variable-length quantity (at most 28 bits) kept together with the size of its
// encoded form. `value` is the plain number at all times except inside Encode/Decode,
// where its four bytes (least significant first) hold the encoded bytes in output order.
struct VarLen {
  static constexpr uint32_t kMaxValue = 0x0FFFFFFF;

  uint32_t value = 0;
  uint8_t lengthCode = 0;  // encoded bytes minus one: 0..3

  // Sets `value` and the matching `lengthCode`; the only way to change the quantity.
  // Quantities above kMaxValue are clamped to it, since no longer encoding exists.
  void Assign(uint32_t quantity);
  void Encode();
  void Decode();
  // Reorders the four bytes so that the most significant byte comes first.
  void SwapToBigEndian();
  // Emits the lengthCode + 1 encoded bytes; the quantity itself is left as it was.
  void Write(std::ostream& out) const;

  uint32_t EncodedLength() const { return lengthCode + 1u; }
};

}  // namespace pixorale
