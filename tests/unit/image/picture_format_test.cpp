#include "image/picture_format.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace pixorale {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(PictureFormat, SignaturesNameTheFormatAndOnlyPngAndJpegAreDecoded) {
  using namespace std::string_view_literals;
  struct Case {
    std::string_view start;
    std::string_view name;
    PictureFormat format;
  };
  const Case cases[] = {
      {"\x89PNG\r\n\x1a\n\0\0"sv, "PNG", PictureFormat::kPng},
      {"\xFF\xD8\xFF\xE0"sv, "JPEG", PictureFormat::kJpeg},
      {"GIF89a"sv, "GIF", PictureFormat::kOther},
      {"GIF87a"sv, "GIF", PictureFormat::kOther},
      {"II*\0\x08"sv, "TIFF", PictureFormat::kOther},
      {"MM\0*"sv, "TIFF", PictureFormat::kOther},
      {"RIFF\x10\0\0\0WEBPVP8 "sv, "WebP", PictureFormat::kOther},
      {"RIFF\x10\0\0\0WAVEfmt "sv, "", PictureFormat::kOther},
      {"BM\x46\0"sv, "", PictureFormat::kOther},
      {"\x89PN"sv, "", PictureFormat::kOther},  // cut short
      {""sv, "", PictureFormat::kOther},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureFormatName(Bytes(c.start)), c.name) << c.name;
    EXPECT_EQ(DetectPictureFormat(Bytes(c.start)), c.format) << c.name;
  }
  EXPECT_TRUE(HasBmpSignature(Bytes("BM")));
  EXPECT_FALSE(HasBmpSignature(Bytes("B")));
}

}  // namespace
}  // namespace pixorale
