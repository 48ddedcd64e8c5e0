#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/mapped_file.h"

namespace pixorale {

enum class BmpLoadResult {
  kLoaded,         // header read; bitCount tells whether rows are held
  kCannotOpen,     // the file could not be opened or read; the image is left empty
  kClaimsTooMuch,  // the header claims far more pixel data than the file holds; left empty
};

// A BMP picture in memory. Only 24-bit pictures keep rows. Rows are numbered in file order
// (row 0 is the first stored row, the bottom of a usual bottom-up picture); within a row,
// pixel p is bytes 3p, 3p + 1, 3p + 2 holding blue, green, red, as in the file.
class BitmapImage {
 public:
  uint16_t bitCount = 0;
  uint32_t width = 0;
  uint32_t height = 0;  // number of rows; a top-down file's negative height is stored positive
  // Header bytes read but not interpreted: the file header, the info header's size field
  // (bytes 0-17), the planes (18-19), compression to colour counts (20-43).
  std::array<uint8_t, 44> headerScratch{};

  // Reads the file into this (empty) image.
  BmpLoadResult LoadBitmapFile(const std::string& path);
  // Puts the image into the empty state without releasing anything.
  void ClearBitmap();
  // Releases the rows and returns to the empty state; harmless on an empty image.
  void FreeBitmap();

  bool HasRows24() const { return bitCount == 24 && height > 0; }
  // Row r of a 24-bit picture, width * 3 bytes. Requires HasRows24() and r < height.
  std::span<uint8_t> Row24(uint32_t r);
  std::span<const uint8_t> Row24(uint32_t r) const;

 private:
  // Pixel rows either straight from the mapped file or, for a file cut short, from an
  // owned copy padded with zero bytes. Both use the file's row stride.
  MappedFile mapping_;
  std::vector<uint8_t> ownedPixels_;
  uint8_t* pixels_ = nullptr;
  uint64_t rowStride_ = 0;
};

}  // namespace pixorale
