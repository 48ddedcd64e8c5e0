#pragma once

#include <string>

#include "image/bitmap_image.h"
#include "image/decode_limits.h"
#include "image/picture_load.h"
#include "io/read_only_file.h"

namespace pixorale {

// Loads a PNG or JPEG (recognised by its first bytes) as the 24-bit BMP of the same picture
// would load, or hands any other file to the BMP reader, which takes 32-bit pictures too. The file
// is read through the one descriptor given, from its first byte; the limits apply to every format.
PictureLoad LoadPictureFile(ReadOnlyFile& file, BitmapImage& image,
                            const DecodeLimits& limits = {});
// The same for a file not yet open.
PictureLoad LoadPictureFile(const std::string& path, BitmapImage& image,
                            const DecodeLimits& limits = {});

}  // namespace pixorale
