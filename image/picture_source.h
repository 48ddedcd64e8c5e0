#pragma once

#include <string>

#include "image/bitmap_image.h"
#include "image/picture_load.h"

namespace pixorale {

// Where a conversion run's picture comes from: it reads the file at a path into an empty
// image and says how that went.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  virtual PictureLoad Load(const std::string& path, BitmapImage& image) const = 0;
};

// The desktop programs' source: every file goes to the BMP reader, whatever it holds.
class BmpPictureSource final : public PictureSource {
 public:
  PictureLoad Load(const std::string& path, BitmapImage& image) const override {
    return image.LoadBitmapFile(path);
  }
};

}  // namespace pixorale
