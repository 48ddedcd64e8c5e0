#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/decode_limits.h"
#include "image/picture_load.h"
#include "image/picture_summary.h"
#include "io/read_only_file.h"

namespace pixorale {

// The bit counts whose rows the BMP reader reads. The desktop programs take 24-bit pictures
// only; the converter also takes 32-bit ones, whose fourth byte of each pixel (alpha, or
// unused) it drops, as it ignores a PNG's alpha.
enum class BmpDepths { k24, k24And32 };

// A picture in memory, as a 24-bit BMP holds it. Rows are numbered in file order (row 0 is
// the first stored row, the bottom of a usual bottom-up picture); within a row, pixel p is
// bytes 3p, 3p + 1, 3p + 2 holding blue, green, red, as in the file.
//
// Only the two rows a conversion reads are kept: row 0 (the pitches) and the middle row,
// height / 2 (the steps). So the cost of a picture does not grow with its height, and the
// rows are copies that nothing outside can change while they are used.
class BitmapImage {
 public:
  uint16_t bitCount = 0;
  uint32_t width = 0;
  uint32_t height = 0;  // number of rows; a top-down file's negative height is stored positive
  // Row 0 is the picture's top row (a top-down BMP), not its bottom row as usual.
  bool firstRowOnTop = false;
  // Header bytes read but not interpreted: the file header, the info header's size field
  // (bytes 0-17), the planes (18-19), compression to colour counts (20-43).
  std::array<uint8_t, 44> headerScratch{};
  // The whole picture in coarse cells, made only when the loader was asked for it (the
  // musical reading); empty otherwise.
  PictureSummary summary;

  // Reads the file into this (empty) image. Any header that was read counts as loaded
  // (bitCount tells whether rows are held); on a failure the image is left empty. The
  // desktop program takes pictures of any width.
  PictureLoad LoadBitmapFile(const std::string& path);
  // The same from a file already open; a picture wider than `maxColumns` is refused before
  // its rows are read. A 32-bit picture read with BmpDepths::k24And32 is held as the 24-bit
  // picture of the same pixels (bitCount 24).
  // With `summarize` every row is read into `summary` as well.
  PictureLoad LoadBitmapFile(ReadOnlyFile& file, uint32_t maxColumns = kNoColumnLimit,
                             BmpDepths depths = BmpDepths::k24, bool summarize = false);
  // Fills the image as a 24-bit picture from rows decoded elsewhere: each row is width * 3
  // bytes, row 0 and row height / 2 in file order (for a single row, pass it twice).
  void AdoptRows24(uint32_t pictureWidth, uint32_t pictureHeight, std::vector<uint8_t> firstRow,
                   std::vector<uint8_t> middleRow);
  // Puts the image into the empty state without releasing anything.
  void ClearBitmap();
  // Releases the rows and the summary and returns to the empty state; harmless on an empty
  // image.
  void FreeBitmap();

  bool HasRows24() const { return bitCount == 24 && height > 0; }
  uint32_t MiddleRowIndex() const { return height / 2; }
  // Row 0 or row MiddleRowIndex() of a 24-bit picture, width * 3 bytes. Requires HasRows24().
  std::span<uint8_t> Row24(uint32_t r);
  std::span<const uint8_t> Row24(uint32_t r) const;

 private:
  std::vector<uint8_t> firstRow_;
  std::vector<uint8_t> middleRow_;  // empty when the middle row is row 0
};

}  // namespace pixorale
