#include "image/picture_decode.h"

#include "image/jpeg_rows.h"
#include "image/png_rows.h"

namespace pixorale {

PictureLoad DecodePicture(PictureFormat format, ByteSource& source, BitmapImage& image,
                          const DecodeLimits& limits) {
  switch (format) {
    case PictureFormat::kPng:
      return DecodePngRows(source, image, limits);
    case PictureFormat::kJpeg:
      return DecodeJpegRows(source, image, limits);
    case PictureFormat::kOther:
      break;
  }
  image.FreeBitmap();
  return PictureFailure(format, PictureStep::kUnsupported, "neither PNG nor JPEG");
}

}  // namespace pixorale
