// The Windows build has no libspng or libjpeg to draw on (Debian ships neither for
// mingw-w64): a PNG or JPEG picture is recognised and refused with a clear line.
#include "image/jpeg_rows.h"
#include "image/picture_decode.h"
#include "image/png_rows.h"

namespace pixorale {
namespace {

PictureLoad Unavailable(PictureFormat format, BitmapImage& image) {
  image.FreeBitmap();
  return PictureFailure(format, PictureStep::kNoDecoder, {});
}

}  // namespace

std::string_view ReadablePictureFormats() {
  return "BMP";
}

PictureLoad DecodePngRows(ByteSource&, BitmapImage& image, const DecodeLimits&) {
  return Unavailable(PictureFormat::kPng, image);
}

PictureLoad DecodeJpegRows(ByteSource&, BitmapImage& image, const DecodeLimits&) {
  return Unavailable(PictureFormat::kJpeg, image);
}

}  // namespace pixorale
