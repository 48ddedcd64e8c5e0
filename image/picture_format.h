#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pixorale {

enum class PictureFormat { kOther, kPng, kJpeg };

// How many leading bytes DetectPictureFormat and PictureFormatName need to tell every
// format apart.
inline constexpr size_t kSignatureBytes = 12;

// Recognises a picture by its first bytes, whatever the file is called. Everything that is
// not PNG or JPEG goes to the BMP reader, which takes any header it is given.
PictureFormat DetectPictureFormat(std::span<const uint8_t> firstBytes);

// The common picture format other than BMP that the first bytes announce ("PNG", "JPEG",
// "GIF", "TIFF", "WebP"); empty when they announce none of them.
std::string_view PictureFormatName(std::span<const uint8_t> firstBytes);

// True when the file starts with "BM", as every BMP does.
bool HasBmpSignature(std::span<const uint8_t> firstBytes);

}  // namespace pixorale
