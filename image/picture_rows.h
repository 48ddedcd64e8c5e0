#pragma once

#include <cstdint>

#include "image/bitmap_image.h"
#include "image/decode_limits.h"
#include "image/picture_load.h"

namespace pixorale {

// The decoders keep the two rows of a picture that a conversion reads, as a BMP of the same
// picture would hold them (see BitmapImage): row 0 is the picture's bottom row, row
// height / 2 the step row, each width * 3 bytes of blue, green, red per pixel. Only these
// two are kept, so memory does not grow with the picture's height.

// Decoders read top row first; these are the top-down numbers of the two rows kept.
inline uint32_t PitchRowFromTop(uint32_t height) {
  return height - 1;
}
inline uint32_t StepRowFromTop(uint32_t height) {
  return height - 1 - height / 2;
}

}  // namespace pixorale
