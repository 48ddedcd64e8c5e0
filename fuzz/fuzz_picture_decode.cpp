// Reads arbitrary bytes as a picture file: PNG and JPEG (by signature) go through their
// decoders, anything else through the BMP reader. A picture that loads is converted with
// the default settings and the song checked. The same bytes decoded from memory must give
// the same rows or the same reason as from the file.

#include <cstddef>
#include <cstdint>
#include <span>

#include "app/conversion_settings.h"
#include "convert/melody.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"
#include "invariant.h"
#include "memory_file.h"
#include "song_checks.h"

namespace pixorale::fuzz {
namespace {

// Well below the fuzzer's allocation and time limits, so that a refusal, not a limit of the
// fuzzer, ends a header that claims too much: rows of 64 MiB, a song of a million columns,
// 16 million pixels to decode.
constexpr DecodeLimits kLimits{64u << 20, 1u << 20, 1u << 24};

class AlternatingBits final : public RandomBitSource {
 public:
  uint32_t Draw() override { return next_ ^= 1u; }

 private:
  uint32_t next_ = 0;
};

void CheckSameAsFromMemory(std::span<const uint8_t> input, const PictureLoad& load,
                           const BitmapImage& image) {
  MemoryByteSource source(input);
  BitmapImage fromMemory;
  const PictureLoad decoded = DecodePicture(load.format, source, fromMemory, kLimits);
  Require(decoded.failedStep == load.failedStep && decoded.spngError == load.spngError &&
              decoded.jpegError == load.jpegError && decoded.detail == load.detail,
          "file and memory give different reasons");
  if (!decoded.ok()) {
    Require(!fromMemory.HasRows24(), "rows kept for a refused picture");
    return;
  }
  Require(fromMemory.width == image.width && fromMemory.height == image.height, "sizes differ");
  Require(fromMemory.height > 0 && fromMemory.HasRows24(), "a decoded picture without rows");
  for (const uint32_t r : {uint32_t{0}, image.MiddleRowIndex()}) {
    const auto fromFile = image.Row24(r);
    const auto fromBytes = fromMemory.Row24(r);
    Require(fromFile.size() == size_t{image.width} * 3, "row of the wrong length");
    Require(std::equal(fromFile.begin(), fromFile.end(), fromBytes.begin(), fromBytes.end()),
            "rows differ");
  }
}

}  // namespace
}  // namespace pixorale::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pixorale;
  using namespace pixorale::fuzz;
  static MemoryFile file;
  const std::span<const uint8_t> input(data, size);
  file.Replace(data, size);

  BitmapImage image;
  const PictureLoad load = LoadPictureFile(file.Path(), image, kLimits);
  Require(load.format == DetectPictureFormat(input), "format not told by the signature");
  if (load.format == PictureFormat::kOther) return 0;  // the BMP fuzzer's ground

  const bool loaded = load.ok();
  const std::string reason = DescribePictureLoad(load);
  Require(loaded == reason.empty(), "neither loaded nor refused with a reason");
  Require(reason.find('\n') == std::string::npos, "reason of more than one line");
  CheckSameAsFromMemory(input, load, image);
  if (!loaded) {
    Require(!image.HasRows24(), "rows kept for a refused picture");
    return 0;
  }
  Require(image.bitCount == 24 && image.HasRows24(), "a decoded picture is not 24-bit");

  ConversionSettings settings;
  settings.InstallDefaults();
  const ConversionParameters params = settings.ToParameters();
  AlternatingBits bits;
  Song song;
  ConvertImageToSong(song, image, params, bits);
  CheckConvertedSong(song, params, image.width);
  return 0;
}
