#pragma once

#include <cstdint>
#include <limits>

namespace pixorale {

// A conversion holds about 130 bytes for every column of the picture, about 200 with chords:
// 16,777,216 columns keep one near 2 GiB (3 GiB with chords). A picture that is wider is
// refused before any row is decoded, so a PNG of a few kilobytes cannot ask for gigabytes.
inline constexpr uint32_t kDefaultMaxColumns = uint32_t{1} << 24;

// Reaching the rows a conversion reads means inflating every row above them, so a small PNG
// can ask for minutes of work: 100,000 x 100,000 one-bit pixels take nearly three minutes.
// 128 megapixels, the area ImageMagick's policy allows on Debian, decode in a few seconds and
// still take ten phone photos stacked (4032 x 30240).
inline constexpr uint64_t kDefaultMaxPngPixels = 128'000'000;

inline constexpr uint32_t kNoColumnLimit = std::numeric_limits<uint32_t>::max();

// What reading one picture may cost. Each limit is checked from the header, before any row
// is decoded.
struct DecodeLimits {
  // What a decoder may allocate. Progressive JPEGs hold every coefficient of the picture
  // while they decode; the default takes a 4:2:0 picture of about 360 megapixels.
  uint64_t memoryBytes = uint64_t{1} << 30;
  uint32_t maxColumns = kDefaultMaxColumns;
  // Width times height of a PNG. JPEG rows are skipped without being decoded in full, and a
  // BMP's rows are read where they lie, so neither costs time in proportion to its area.
  uint64_t maxPngPixels = kDefaultMaxPngPixels;
  // Also summarise the whole picture (BitmapImage::summary): every row is read, and a large
  // JPEG is read at a reduced size (its kept rows too), which its 8 x 8 blocks make cheap.
  bool summarize = false;
};

}  // namespace pixorale
