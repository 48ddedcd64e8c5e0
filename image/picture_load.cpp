#include "image/picture_load.h"

namespace pixorale {

PictureLoad TooManyColumns(PictureFormat format, uint64_t columns, uint64_t limit) {
  return PictureFailure(format, PictureStep::kColumns,
                        "too wide to convert: " + std::to_string(columns) +
                            " columns, the limit is " + std::to_string(limit));
}

PictureLoad TooManyPixels(PictureFormat format, uint64_t width, uint64_t height, uint64_t limit) {
  return PictureFailure(format, PictureStep::kArea,
                        "too large to decode: " + std::to_string(width) + " x " +
                            std::to_string(height) + " = " + std::to_string(width * height) +
                            " pixels, the limit is " + std::to_string(limit));
}

std::string DescribePictureLoad(const PictureLoad& load) {
  switch (load.failedStep) {
    case PictureStep::kNone:
      return {};
    case PictureStep::kOpen:
    case PictureStep::kRead:
      return DescribeIoResult(load.io);
    default:
      break;
  }
  const std::string name = load.format == PictureFormat::kPng    ? "PNG"
                           : load.format == PictureFormat::kJpeg ? "JPEG"
                                                                 : "";
  if (load.failedStep == PictureStep::kNoDecoder) {
    return name + " pictures cannot be read by this build";
  }
  return name.empty() ? load.detail : name + ": " + load.detail;
}

}  // namespace pixorale
