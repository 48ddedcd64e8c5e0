#pragma once

#include <string_view>

#include "image/byte_source.h"
#include "image/picture_format.h"
#include "image/picture_rows.h"

namespace pixorale {

// Decodes a PNG or a JPEG with its own decoder into `image`. The source starts at the
// file's first byte.
PictureLoad DecodePicture(PictureFormat format, ByteSource& source, BitmapImage& image,
                          const DecodeLimits& limits = {});

}  // namespace pixorale
