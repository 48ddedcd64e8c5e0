#pragma once

#include "image/byte_source.h"
#include "image/picture_rows.h"

namespace pixorale {

// Decodes a JPEG with libjpeg-turbo's default settings (accurate integer DCT, fancy
// upsampling), as djpeg does, and keeps the pitch row and the step row in `image`. Rows in
// between are skipped rather than converted. Grey pictures come out as RGB; Exif orientation
// is not applied. Pictures with CMYK samples are refused. On a failure the image is left
// empty. With limits.summarize every row is read into the image's summary, a large picture
// at a reduced size.
PictureLoad DecodeJpegRows(ByteSource& source, BitmapImage& image, const DecodeLimits& limits = {});

}  // namespace pixorale
