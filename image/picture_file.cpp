#include "image/picture_file.h"

#include <array>

#include "image/byte_source.h"
#include "image/picture_decode.h"
#include "io/read_only_file.h"

namespace pixorale {
namespace {

// The file read front to back; a read error is kept so that it is told as one, not as a
// damaged picture.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(ReadOnlyFile& file) : file_(file) {}

  int64_t Read(std::span<uint8_t> out) override {
    const int64_t got = file_.ReadAt(offset_, out);
    if (got < 0) {
      readError_ = file_.LastError();
      return -1;
    }
    offset_ += static_cast<uint64_t>(got);
    return got;
  }
  uint64_t Size() const override { return file_.Size(); }
  int readError() const { return readError_; }
  bool failed() const { return readError_ != 0; }

 private:
  ReadOnlyFile& file_;
  uint64_t offset_ = 0;
  int readError_ = 0;
};

}  // namespace

PictureFileLoad LoadPictureFile(const std::string& path, BitmapImage& image,
                                const DecodeLimits& limits) {
  PictureFileLoad load;
  PictureFormat format = PictureFormat::kOther;
  ReadOnlyFile file;
  if (file.Open(path).ok()) {
    std::array<uint8_t, kSignatureBytes> first{};
    const int64_t got = file.ReadAt(0, first);
    if (got > 0) format = DetectPictureFormat(std::span(first).first(static_cast<size_t>(got)));
  }
  // Everything that is not PNG or JPEG, and files that cannot be opened, are the BMP
  // reader's: it tells why a file cannot be opened.
  if (format == PictureFormat::kOther) {
    load.bmp = image.LoadBitmapFile(path);
    return load;
  }

  load.format = format;
  image.FreeBitmap();
  FileByteSource source(file);
  PictureDecode decoded = DecodePicture(format, source, limits);
  if (source.failed()) {
    load.bmp = {BmpLoadResult::kCannotOpen, IoResult::Failure(IoStep::kRead, source.readError())};
    return load;
  }
  if (!decoded.ok()) {
    load.bmp.result = BmpLoadResult::kCannotOpen;
    load.decodeError = decoded.error;
    return load;
  }
  PictureRows& rows = decoded.rows;
  image.AdoptRows24(rows.width, rows.height, std::move(rows.pitchRow), std::move(rows.stepRow));
  load.bmp.result = BmpLoadResult::kLoaded;
  return load;
}

}  // namespace pixorale
