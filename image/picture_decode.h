#pragma once

#include "image/byte_source.h"
#include "image/picture_format.h"
#include "image/picture_rows.h"

namespace pixorale {

// Decodes a PNG or a JPEG with its own decoder. The source starts at the file's first byte.
PictureDecode DecodePicture(PictureFormat format, ByteSource& source,
                            const DecodeLimits& limits = {});

}  // namespace pixorale
