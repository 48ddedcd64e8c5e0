#include "image/picture_format.h"

#include <algorithm>
#include <array>

namespace pixorale {
namespace {

constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Start of image followed by the first marker's lead byte.
constexpr std::array<uint8_t, 3> kJpegSignature = {0xFF, 0xD8, 0xFF};

template <size_t N>
bool StartsWith(std::span<const uint8_t> bytes, const std::array<uint8_t, N>& signature) {
  return bytes.size() >= N && std::equal(signature.begin(), signature.end(), bytes.begin());
}

}  // namespace

PictureFormat DetectPictureFormat(std::span<const uint8_t> firstBytes) {
  if (StartsWith(firstBytes, kPngSignature)) return PictureFormat::kPng;
  if (StartsWith(firstBytes, kJpegSignature)) return PictureFormat::kJpeg;
  return PictureFormat::kOther;
}

}  // namespace pixorale
