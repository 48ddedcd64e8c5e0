#pragma once

#include "image/decode_limits.h"
#include "image/picture_file.h"
#include "image/picture_source.h"
#include "io/read_only_file.h"

namespace pixorale {

// The converter's source: a PNG or JPEG (recognised by its first bytes) loads as the 24-bit
// BMP of the same picture would; any other file goes to the BMP reader, which here also
// takes a 32-bit BMP, as the 24-bit one of the same pixels. Given a file that
// is already open, it reads that one rather than opening the path again.
class AnyPictureSource final : public PictureSource {
 public:
  explicit AnyPictureSource(const DecodeLimits& limits = {}, ReadOnlyFile* opened = nullptr)
      : limits_(limits), opened_(opened) {}
  PictureLoad Load(const std::string& path, BitmapImage& image) const override {
    if (opened_ != nullptr) return LoadPictureFile(*opened_, image, limits_);
    return LoadPictureFile(path, image, limits_);
  }

 private:
  DecodeLimits limits_;
  ReadOnlyFile* opened_;
};

}  // namespace pixorale
