#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixorale {

// The two rows of a picture that a conversion reads, as a BMP of the same picture would hold
// them: rows are numbered bottom row first, and each row is width * 3 bytes of blue, green,
// red per pixel. Only these two are kept, so memory does not grow with the picture's height.
struct PictureRows {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pitchRow;  // row 0: the picture's bottom row
  std::vector<uint8_t> stepRow;   // row height / 2
};

// What a decoder made of a file: the rows, or the decoder's reason in one line.
struct PictureDecode {
  PictureRows rows;
  std::string error;
  bool ok() const { return error.empty(); }
};

// What a decoder may allocate for one picture. Progressive JPEGs hold every coefficient of
// the picture while they decode; the default takes a 4:2:0 picture of about 360 megapixels.
struct DecodeLimits {
  uint64_t memoryBytes = uint64_t{1} << 30;
};

// Decoders read top row first; these are the top-down numbers of the two rows kept.
inline uint32_t PitchRowFromTop(uint32_t height) {
  return height - 1;
}
inline uint32_t StepRowFromTop(uint32_t height) {
  return height - 1 - height / 2;
}

}  // namespace pixorale
