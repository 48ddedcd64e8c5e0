// A build without libjpeg: a JPEG picture is recognised and refused with a clear line.
#include "image/jpeg_rows.h"

namespace pixorale {

PictureDecode DecodeJpegRows(ByteSource&, const DecodeLimits&) {
  PictureDecode result;
  result.error = "JPEG pictures cannot be read by this build";
  return result;
}

}  // namespace pixorale
