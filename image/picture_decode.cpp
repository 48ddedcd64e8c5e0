#include "image/picture_decode.h"

#include "image/jpeg_rows.h"
#include "image/png_rows.h"

namespace pixorale {

PictureDecode DecodePicture(PictureFormat format, ByteSource& source, const DecodeLimits& limits) {
  switch (format) {
    case PictureFormat::kPng:
      return DecodePngRows(source, limits);
    case PictureFormat::kJpeg:
      return DecodeJpegRows(source, limits);
    case PictureFormat::kOther:
      break;
  }
  PictureDecode result;
  result.error = "neither PNG nor JPEG";
  return result;
}

}  // namespace pixorale
