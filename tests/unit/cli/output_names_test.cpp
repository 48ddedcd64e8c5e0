#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/output_stream.h"
#include "app/cli/picture_signature.h"

namespace pixorale::cli {
namespace {

TEST(StandardStreamDescriptor, NamesOfOpenDescriptorsAreWrittenInPlace) {
  struct Case {
    const char* path;
    std::optional<int> fd;
  };
  const Case cases[] = {
      {"-", 1},
      {"/dev/stdout", 1},
      {"/dev/stderr", 2},
      {"/dev/fd/7", 7},
      {"/proc/self/fd/12", 12},
      {"/dev/fd/", std::nullopt},
      {"/dev/fd/x", std::nullopt},
      {"/dev/fd/-1", std::nullopt},
      {"/dev/null", std::nullopt},
      {"./-", std::nullopt},
      {"out.mid", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(StandardStreamDescriptor(c.path), c.fd) << c.path;
}

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(OtherPictureFormat, RecognisesCommonFormatsBySignature) {
  using namespace std::string_view_literals;
  struct Case {
    std::string_view start;
    std::string_view format;
  };
  const Case cases[] = {
      {"\x89PNG\r\n\x1a\n\0\0"sv, "PNG"},
      {"\xFF\xD8\xFF\xE0"sv, "JPEG"},
      {"GIF89a"sv, "GIF"},
      {"GIF87a"sv, "GIF"},
      {"II*\0\x08"sv, "TIFF"},
      {"MM\0*"sv, "TIFF"},
      {"RIFF\x10\0\0\0WEBPVP8 "sv, "WebP"},
      {"RIFF\x10\0\0\0WAVEfmt "sv, ""},
      {"BM\x46\0"sv, ""},
      {"\x89PN"sv, ""},  // cut short
      {""sv, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OtherPictureFormat(Bytes(c.start)), c.format) << c.format;
  EXPECT_TRUE(HasBmpSignature(Bytes("BM")));
  EXPECT_FALSE(HasBmpSignature(Bytes("B")));
}

}  // namespace
}  // namespace pixorale::cli
