// A build without libjpeg: a JPEG picture is recognised and refused with a clear line.
#include "image/jpeg_rows.h"

namespace pixorale {

PictureLoad DecodeJpegRows(ByteSource&, BitmapImage& image, const DecodeLimits&) {
  image.FreeBitmap();
  return PictureFailure(PictureFormat::kJpeg, PictureStep::kNoDecoder, {});
}

}  // namespace pixorale
