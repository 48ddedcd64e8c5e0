#include "support/bmp_builder.h"

#include <cstdlib>

namespace pixorale::test {
namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BmpBuilder::Build() const {
  const bool hasPixels = bitCount == 24 || bitCount == 32;
  const uint32_t rowBytes = static_cast<uint32_t>(width) * (bitCount / 8u);
  const uint32_t padding = (4 - rowBytes % 4) % 4;
  const uint32_t pixelOffset = 14 + infoHeaderSize;
  const uint32_t rowCount = static_cast<uint32_t>(std::abs(height));
  const uint32_t imageSize = hasPixels ? (rowBytes + padding) * rowCount : 0;

  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, pixelOffset + imageSize, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, pixelOffset, 4);
  PutLittleEndian(out, infoHeaderSize, 4);
  PutLittleEndian(out, static_cast<uint32_t>(width), 4);
  PutLittleEndian(out, static_cast<uint32_t>(height), 4);
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, bitCount, 2);
  PutLittleEndian(out, 0, 4);  // no compression
  PutLittleEndian(out, imageSize, 4);
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 0, 4);
  out.resize(pixelOffset, 0);  // the rest of a larger info header
  if (!hasPixels) return out;
  for (uint32_t r = 0; r < rowCount; ++r) {
    for (int32_t p = 0; p < width; ++p) {
      const Bgr pixel =
          r < rows.size() && static_cast<size_t>(p) < rows[r].size() ? rows[r][p] : Bgr{};
      out.push_back(pixel.blue);
      out.push_back(pixel.green);
      out.push_back(pixel.red);
      if (bitCount == 32) out.push_back(fourthByte);
    }
    out.resize(out.size() + padding, 0);
  }
  return out;
}

void PatchLittleEndian(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> MakeMelodyBmp(const std::vector<uint8_t>& reds,
                                   const std::vector<uint8_t>& blues, int32_t height) {
  BmpBuilder bmp;
  bmp.width = static_cast<int32_t>(reds.size());
  bmp.height = height;
  bmp.rows.assign(static_cast<size_t>(std::abs(height)), std::vector<Bgr>(reds.size()));
  const size_t middle = bmp.rows.size() / 2;
  for (size_t i = 0; i < reds.size(); ++i) {
    bmp.rows[0][i].red = reds[i];
    if (i < blues.size()) bmp.rows[middle][i].blue = blues[i];
  }
  return bmp.Build();
}

}  // namespace pixorale::test
