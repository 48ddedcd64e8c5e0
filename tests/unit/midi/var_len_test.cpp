#include "midi/var_len.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pixorale {
namespace {

struct VarLenCase {
  uint32_t value;
  uint8_t lengthCode;
  std::vector<uint8_t> encoded;
};

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Both ends of every length code, and the deltas the conversion uses most.
const std::vector<VarLenCase> kCases = {
    {0x00000000, 0, {0x00}},
    {0x0000007F, 0, {0x7F}},
    {0x00000080, 1, {0x81, 0x00}},
    {0x000000C8, 1, {0x81, 0x48}},
    {0x000001E0, 1, {0x83, 0x60}},
    {0x00002000, 1, {0xC0, 0x00}},
    {0x00003FFF, 1, {0xFF, 0x7F}},
    {0x00004000, 2, {0x81, 0x80, 0x00}},
    {0x001FFFFF, 2, {0xFF, 0xFF, 0x7F}},
    {0x00200000, 3, {0x81, 0x80, 0x80, 0x00}},
    {0x08000000, 3, {0xC0, 0x80, 0x80, 0x00}},
    {0x0FFFFFFF, 3, {0xFF, 0xFF, 0xFF, 0x7F}},
};

TEST(VarLen, AssignPicksTheShortestEncodingAndWriteEmitsIt) {
  for (const VarLenCase& c : kCases) {
    SCOPED_TRACE(c.value);
    VarLen quantity;
    quantity.Assign(c.value);
    EXPECT_EQ(quantity.lengthCode, c.lengthCode);

    std::ostringstream out;
    quantity.Write(out);
    EXPECT_EQ(Bytes(out.str()), c.encoded);
    EXPECT_EQ(quantity.value, c.value);
    EXPECT_EQ(quantity.lengthCode, c.lengthCode);
  }
}

TEST(VarLen, EncodeHoldsTheOutputBytesLowestByteFirstAndDecodeRestoresTheValue) {
  for (const VarLenCase& c : kCases) {
    SCOPED_TRACE(c.value);
    VarLen quantity;
    quantity.Assign(c.value);
    quantity.Encode();
    uint32_t expected = 0;
    for (size_t i = 0; i < c.encoded.size(); ++i) expected |= uint32_t{c.encoded[i]} << (8 * i);
    EXPECT_EQ(quantity.value, expected);

    quantity.Decode();
    EXPECT_EQ(quantity.value, c.value);
    EXPECT_EQ(quantity.lengthCode, c.lengthCode);
  }
}

TEST(VarLen, AssignClampsQuantitiesBeyondTwentyEightBits) {
  VarLen quantity;
  quantity.Assign(0xFFFFFFFF);
  EXPECT_EQ(quantity.value, VarLen::kMaxValue);
  EXPECT_EQ(quantity.lengthCode, 3);
  std::ostringstream out;
  quantity.Write(out);
  EXPECT_EQ(Bytes(out.str()), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(VarLen, SwapToBigEndianPutsTheMostSignificantByteFirst) {
  VarLen quantity;
  quantity.value = 0x12345678;
  quantity.SwapToBigEndian();
  EXPECT_EQ(quantity.value, 0x78563412u);
}

}  // namespace
}  // namespace pixorale
