#pragma once

#include <cstdint>
#include <span>

namespace pixorale {

enum class PictureFormat { kOther, kPng, kJpeg };

// How many leading bytes DetectPictureFormat needs to tell every format apart.
inline constexpr size_t kSignatureBytes = 8;

// Recognises a picture by its first bytes, whatever the file is called. Everything that is
// not PNG or JPEG goes to the BMP reader, which takes any header it is given.
PictureFormat DetectPictureFormat(std::span<const uint8_t> firstBytes);

}  // namespace pixorale
