// The build with libspng and libjpeg: the converter reads all three formats.
#include "image/picture_decode.h"

namespace pixorale {

std::string_view ReadablePictureFormats() {
  return "BMP, PNG and JPEG";
}

}  // namespace pixorale
