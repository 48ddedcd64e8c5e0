#include "midi/var_len.h"

#include <algorithm>
#include <array>

namespace pixorale {

namespace {

constexpr int kBitsPerGroup = 7;
constexpr uint32_t kGroupMask = 0x7F;
constexpr uint32_t kContinuationBit = 0x80;

// Largest quantity that fits in lengthCode + 1 seven-bit groups, indexed by lengthCode.
constexpr std::array<uint32_t, 4> kLargestForCode = {0x7F, 0x3FFF, 0x1FFFFF, 0x0FFFFFFF};

uint8_t ByteAt(uint32_t word, int index) {
  return static_cast<uint8_t>(word >> (8 * index));
}

}  // namespace

void VarLen::Assign(uint32_t quantity) {
  // Nothing larger can be carried by four seven-bit groups; clamping keeps the encoding
  // well-formed instead of letting the leading group spill into the continuation bit.
  value = std::min(quantity, kMaxValue);
  lengthCode = 0;
  while (value > kLargestForCode[lengthCode]) ++lengthCode;
}

void VarLen::Encode() {
  // Byte i of the encoded form (least significant byte of `value` first) is the i-th group
  // in output order: most significant group first, every byte but the last flagged.
  // Assign keeps the leading group below 0x80, so adding the flag only sets bit 7.
  const uint32_t v = value;
  const auto group = [v](int index) { return (v >> (kBitsPerGroup * index)) & kGroupMask; };
  switch (lengthCode) {
    case 0:
      break;
    case 1:
      value = (kContinuationBit | group(1)) | group(0) << 8;
      break;
    case 2:
      value = (kContinuationBit | group(2)) | (kContinuationBit | group(1)) << 8 | group(0) << 16;
      break;
    default:
      value = (kContinuationBit | group(3)) | (kContinuationBit | group(2)) << 8 |
              (kContinuationBit | group(1)) << 16 | group(0) << 24;
      break;
  }
}

void VarLen::Decode() {
  const uint32_t encoded = value;
  uint32_t quantity = 0;
  for (int i = 0; i <= lengthCode; ++i) {
    quantity = (quantity << kBitsPerGroup) | (ByteAt(encoded, i) & kGroupMask);
  }
  value = quantity;
}

void VarLen::SwapToBigEndian() {
  const uint32_t v = value;
  value = uint32_t{ByteAt(v, 3)} | uint32_t{ByteAt(v, 2)} << 8 | uint32_t{ByteAt(v, 1)} << 16 |
          uint32_t{ByteAt(v, 0)} << 24;
}

void VarLen::Write(std::ostream& out) const {
  VarLen encoded = *this;
  encoded.Encode();
  std::array<char, 4> bytes{};
  for (int i = 0; i <= lengthCode; ++i)
    bytes[static_cast<size_t>(i)] = static_cast<char>(ByteAt(encoded.value, i));
  out.write(bytes.data(), static_cast<std::streamsize>(EncodedLength()));
}

}  // namespace pixorale
