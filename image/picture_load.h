#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "image/picture_format.h"
#include "io/io_result.h"

namespace pixorale {

// The step of reading a picture that stopped it.
enum class PictureStep {
  kNone,         // the picture was read
  kOpen,         // the file could not be opened; `io` says why
  kRead,         // the file could not be read; `io` says why
  kHeader,       // the header claims more pixel data than the file can hold
  kColumns,      // more columns than the limit allows
  kArea,         // more pixels than the limit allows to decode
  kMemory,       // decoding would need more memory than the limit allows
  kUnsupported,  // a kind of picture the decoder does not take (CMYK samples)
  kNoDecoder,    // this build has no decoder for the format
  kDecode,       // the decoder refused the data; its own code says why
};

// What reading a picture file gave. `format` is what the first bytes announced: kOther for
// a file handed to the BMP reader. The decoders' own codes are kept as they gave them.
struct PictureLoad {
  PictureFormat format = PictureFormat::kOther;
  PictureStep failedStep = PictureStep::kNone;
  IoResult io;         // of kOpen and kRead
  int spngError = 0;   // libspng's code (enum spng_errno) when it refused the file
  int jpegError = 0;   // libjpeg's message code (J_MESSAGE_CODE) when it refused the file
  std::string detail;  // one line, without the format's name; empty for kOpen and kRead
  // Of a BMP read all the same: the bytes of pixel data its header describes that the file
  // does not hold (it was cut short). The rows they would fill are read as zero.
  uint64_t missingBytes = 0;

  bool ok() const { return failedStep == PictureStep::kNone; }
};

// Shorthands for the readers.
inline PictureLoad PictureLoaded(PictureFormat format) {
  PictureLoad load;
  load.format = format;
  return load;
}
inline PictureLoad PictureFailure(PictureFormat format, PictureStep step, std::string detail) {
  return {format, step, {}, 0, 0, std::move(detail)};
}
inline PictureLoad PictureIoFailure(PictureFormat format, const IoResult& io) {
  PictureLoad load;
  load.format = format;
  load.failedStep = io.failedStep == IoStep::kRead ? PictureStep::kRead : PictureStep::kOpen;
  load.io = io;
  return load;
}

// The refusals of a picture past one of the limits, with both figures.
PictureLoad TooManyColumns(PictureFormat format, uint64_t columns, uint64_t limit);
PictureLoad TooManyPixels(PictureFormat format, uint64_t width, uint64_t height, uint64_t limit);

// One English line for a person: "cannot be read: Input/output error", "PNG: too wide to
// convert: 119000000 columns, the limit is 16777216". Empty when the picture was read.
std::string DescribePictureLoad(const PictureLoad& load);

}  // namespace pixorale
