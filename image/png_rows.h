#pragma once

#include "image/byte_source.h"
#include "image/picture_rows.h"

namespace pixorale {

// Decodes a PNG row by row with libspng and keeps the pitch row and the step row in `image`.
// Grey and palette pictures come out as RGB, alpha is left out (colours as stored), 16-bit
// samples become (v + 128) / 257: the rows a 24-bit BMP saved from the same PNG would hold.
// The chunks after the rows are read up to the end chunk, so a damaged last chunk of rows or
// a file cut before its end is refused. On a failure the image is left empty.
PictureLoad DecodePngRows(ByteSource& source, BitmapImage& image, const DecodeLimits& limits = {});

}  // namespace pixorale
