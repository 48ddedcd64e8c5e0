#pragma once

#include <string>

#include "image/bitmap_image.h"
#include "image/picture_format.h"
#include "image/picture_rows.h"

namespace pixorale {

// What loading a picture file gave: the BMP reader's outcome (also used for a PNG or JPEG
// that loaded, or that could not be opened or read), or the decoder's reason for refusing
// a damaged PNG or JPEG.
struct PictureFileLoad {
  PictureFormat format = PictureFormat::kOther;
  BmpLoad bmp;
  std::string decodeError;  // one line, naming the format; empty unless the decoder refused
};

// Loads a PNG or JPEG (recognised by its first bytes) as the 24-bit BMP of the same picture
// would load, or hands any other file to the BMP reader.
PictureFileLoad LoadPictureFile(const std::string& path, BitmapImage& image,
                                const DecodeLimits& limits = {});

}  // namespace pixorale
