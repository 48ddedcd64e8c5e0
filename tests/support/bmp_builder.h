#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixorale::test {

struct Bgr {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
};

// Builds the bytes of a BMP file. Rows are given in file order (row 0 first stored); the
// builder adds the padding to a multiple of four bytes. Only 24-bit and 32-bit pictures get
// pixel data.
struct BmpBuilder {
  int32_t width = 0;
  int32_t height = 0;  // negative for a top-down file
  uint16_t bitCount = 24;
  uint32_t infoHeaderSize = 40;  // 108 and 124 put the pixels at 122 and 138
  uint8_t fourthByte = 0x80;     // of every pixel of a 32-bit picture (its alpha)
  std::vector<std::vector<Bgr>> rows;

  std::vector<uint8_t> Build() const;
};

// Overwrites a little-endian field of a built file, e.g. to make a header claim more than
// the file holds.
void PatchLittleEndian(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size = 4);

// A 24-bit picture whose row 0 has the given red bytes and whose middle row has the given
// blue bytes; other bytes 0. Height 2 puts the middle row at row 1; height 1 uses row 0 for
// both.
std::vector<uint8_t> MakeMelodyBmp(const std::vector<uint8_t>& reds,
                                   const std::vector<uint8_t>& blues, int32_t height = 2);

}  // namespace pixorale::test
