#pragma once

#include "image/picture_rows.h"
#include "image/picture_source.h"

namespace pixorale {

// The converter's source: a PNG or JPEG (recognised by its first bytes) loads as the 24-bit
// BMP of the same picture would; any other file goes to the BMP reader.
class AnyPictureSource final : public PictureSource {
 public:
  explicit AnyPictureSource(const DecodeLimits& limits = {}) : limits_(limits) {}
  PictureFileLoad Load(const std::string& path, BitmapImage& image) const override {
    return LoadPictureFile(path, image, limits_);
  }

 private:
  DecodeLimits limits_;
};

}  // namespace pixorale
