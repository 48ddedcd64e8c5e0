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

// Well below the fuzzer's allocation limit, so that a refusal, not the limit, ends a header
// that claims too much.
constexpr DecodeLimits kLimits{64u << 20};

class AlternatingBits final : public RandomBitSource {
 public:
  uint32_t Draw() override { return next_ ^= 1u; }

 private:
  uint32_t next_ = 0;
};

void CheckSameAsFromMemory(std::span<const uint8_t> input, const PictureFileLoad& load,
                           const BitmapImage& image) {
  MemoryByteSource source(input);
  const PictureDecode decoded = DecodePicture(load.format, source, kLimits);
  Require(decoded.error == load.decodeError, "file and memory give different reasons");
  if (!decoded.ok()) return;
  const PictureRows& rows = decoded.rows;
  Require(rows.width == image.width && rows.height == image.height, "sizes differ");
  Require(rows.height > 0, "a decoded picture without rows");
  Require(rows.pitchRow.size() == size_t{rows.width} * 3, "pitch row of the wrong length");
  Require(rows.stepRow.size() == size_t{rows.width} * 3, "step row of the wrong length");
  const auto first = image.Row24(0);
  const auto middle = image.Row24(image.MiddleRowIndex());
  Require(std::equal(first.begin(), first.end(), rows.pitchRow.begin()), "pitch row differs");
  Require(std::equal(middle.begin(), middle.end(), rows.stepRow.begin()), "step row differs");
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
  const PictureFileLoad load = LoadPictureFile(file.Path(), image, kLimits);
  Require(load.format == DetectPictureFormat(input), "format not told by the signature");
  if (load.format == PictureFormat::kOther) return 0;  // the BMP fuzzer's ground

  const bool loaded = load.bmp.result == BmpLoadResult::kLoaded;
  Require(loaded == load.decodeError.empty(), "neither loaded nor refused with a reason");
  Require(load.decodeError.find('\n') == std::string::npos, "reason of more than one line");
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
