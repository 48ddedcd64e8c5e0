#include "image/picture_format.h"

#include <algorithm>
#include <array>

namespace pixorale {
namespace {

using namespace std::string_view_literals;

struct Signature {
  std::string_view name;
  PictureFormat format;  // kOther: recognised, but not decoded here
  size_t offset;
  std::string_view bytes;
};

constexpr std::array<Signature, 7> kSignatures = {{
    {"PNG", PictureFormat::kPng, 0, "\x89PNG\r\n\x1a\n"sv},
    // Start of image followed by the first marker's lead byte.
    {"JPEG", PictureFormat::kJpeg, 0, "\xFF\xD8\xFF"sv},
    {"GIF", PictureFormat::kOther, 0, "GIF87a"sv},
    {"GIF", PictureFormat::kOther, 0, "GIF89a"sv},
    {"TIFF", PictureFormat::kOther, 0, "II*\0"sv},
    {"TIFF", PictureFormat::kOther, 0, "MM\0*"sv},
    {"WebP", PictureFormat::kOther, 8, "WEBP"sv},  // after "RIFF" and the chunk size
}};

bool Matches(std::span<const uint8_t> bytes, size_t offset, std::string_view expected) {
  if (bytes.size() < offset + expected.size()) return false;
  return std::equal(expected.begin(), expected.end(), bytes.subspan(offset).begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

const Signature* FindSignature(std::span<const uint8_t> firstBytes) {
  for (const Signature& signature : kSignatures) {
    if (signature.name == "WebP" && !Matches(firstBytes, 0, "RIFF")) continue;
    if (Matches(firstBytes, signature.offset, signature.bytes)) return &signature;
  }
  return nullptr;
}

}  // namespace

PictureFormat DetectPictureFormat(std::span<const uint8_t> firstBytes) {
  const Signature* signature = FindSignature(firstBytes);
  return signature != nullptr ? signature->format : PictureFormat::kOther;
}

std::string_view PictureFormatName(std::span<const uint8_t> firstBytes) {
  const Signature* signature = FindSignature(firstBytes);
  return signature != nullptr ? signature->name : std::string_view();
}

bool HasBmpSignature(std::span<const uint8_t> firstBytes) {
  return Matches(firstBytes, 0, "BM");
}

}  // namespace pixorale
