// A build without libspng: a PNG picture is recognised and refused with a clear line.
#include "image/png_rows.h"

namespace pixorale {

PictureLoad DecodePngRows(ByteSource&, BitmapImage& image, const DecodeLimits&) {
  image.FreeBitmap();
  return PictureFailure(PictureFormat::kPng, PictureStep::kNoDecoder, {});
}

}  // namespace pixorale
