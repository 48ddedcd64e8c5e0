#pragma once

#include "image/byte_source.h"
#include "image/picture_rows.h"

namespace pixorale {

// Decodes a PNG row by row with libspng and keeps the pitch row and the step row. Grey and
// palette pictures come out as RGB, alpha is left out (colours as stored), 16-bit samples
// become (v + 128) / 257: the rows a 24-bit BMP saved from the same PNG would hold.
PictureDecode DecodePngRows(ByteSource& source, const DecodeLimits& limits = {});

}  // namespace pixorale
