#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pixorale::cli {

// The format a file's first bytes announce when it is a common picture format other than
// BMP ("PNG", "JPEG", "GIF", "TIFF", "WebP"); empty when they announce none of them.
std::string_view OtherPictureFormat(std::span<const uint8_t> firstBytes);

// True when the file starts with "BM", as every BMP does.
bool HasBmpSignature(std::span<const uint8_t> firstBytes);

}  // namespace pixorale::cli
