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

PictureLoad LoadPictureFile(ReadOnlyFile& file, BitmapImage& image, const DecodeLimits& limits) {
  image.FreeBitmap();
  std::array<uint8_t, kSignatureBytes> first{};
  const int64_t got = file.ReadAt(0, first);
  if (got < 0) {
    return PictureIoFailure(PictureFormat::kOther,
                            IoResult::Failure(IoStep::kRead, file.LastError()));
  }
  // Everything that is not PNG or JPEG is the BMP reader's; a 32-bit BMP is read as a PNG
  // with alpha is, its fourth bytes ignored.
  const PictureFormat format =
      DetectPictureFormat(std::span(first).first(static_cast<size_t>(got)));
  if (format == PictureFormat::kOther) {
    return image.LoadBitmapFile(file, limits.maxColumns, BmpDepths::k24And32, limits.summarize);
  }

  FileByteSource source(file);
  PictureLoad load = DecodePicture(format, source, image, limits);
  if (source.failed()) {
    image.FreeBitmap();
    return PictureIoFailure(format, IoResult::Failure(IoStep::kRead, source.readError()));
  }
  return load;
}

PictureLoad LoadPictureFile(const std::string& path, BitmapImage& image,
                            const DecodeLimits& limits) {
  image.FreeBitmap();
  ReadOnlyFile file;
  if (const IoResult opened = file.Open(path); !opened) {
    return PictureIoFailure(PictureFormat::kOther, opened);
  }
  return LoadPictureFile(file, image, limits);
}

}  // namespace pixorale
