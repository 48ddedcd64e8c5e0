#include "app/cli/picture_signature.h"

#include <algorithm>
#include <array>

namespace pixorale::cli {
namespace {

struct Signature {
  std::string_view format;
  size_t offset;
  std::string_view bytes;
};

using namespace std::string_view_literals;
constexpr std::array<Signature, 7> kSignatures = {{
    {"PNG", 0, "\x89PNG\r\n\x1a\n"sv},
    {"JPEG", 0, "\xFF\xD8\xFF"sv},
    {"GIF", 0, "GIF87a"sv},
    {"GIF", 0, "GIF89a"sv},
    {"TIFF", 0, "II*\0"sv},
    {"TIFF", 0, "MM\0*"sv},
    {"WebP", 8, "WEBP"sv},  // after "RIFF" and the chunk size
}};

bool Matches(std::span<const uint8_t> bytes, size_t offset, std::string_view expected) {
  if (bytes.size() < offset + expected.size()) return false;
  return std::equal(expected.begin(), expected.end(), bytes.begin() + offset,
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

}  // namespace

std::string_view OtherPictureFormat(std::span<const uint8_t> firstBytes) {
  for (const Signature& signature : kSignatures) {
    if (signature.format == "WebP" && !Matches(firstBytes, 0, "RIFF")) continue;
    if (Matches(firstBytes, signature.offset, signature.bytes)) return signature.format;
  }
  return {};
}

bool HasBmpSignature(std::span<const uint8_t> firstBytes) {
  return Matches(firstBytes, 0, "BM");
}

}  // namespace pixorale::cli
