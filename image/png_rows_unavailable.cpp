// A build without libspng: a PNG picture is recognised and refused with a clear line.
#include "image/png_rows.h"

namespace pixorale {

PictureDecode DecodePngRows(ByteSource&, const DecodeLimits&) {
  PictureDecode result;
  result.error = "PNG pictures cannot be read by this build";
  return result;
}

}  // namespace pixorale
