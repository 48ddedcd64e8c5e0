// The Windows build has no libspng or libjpeg to draw on (Debian ships neither for
// mingw-w64): a PNG or JPEG picture is recognised and refused with a clear line.
#include "image/jpeg_rows.h"
#include "image/png_rows.h"

namespace pixorale {
namespace {

PictureDecode Unavailable(const char* format) {
  PictureDecode result;
  result.error = std::string(format) + " pictures cannot be read by this build";
  return result;
}

}  // namespace

PictureDecode DecodePngRows(ByteSource&, const DecodeLimits&) {
  return Unavailable("PNG");
}

PictureDecode DecodeJpegRows(ByteSource&, const DecodeLimits&) {
  return Unavailable("JPEG");
}

}  // namespace pixorale
