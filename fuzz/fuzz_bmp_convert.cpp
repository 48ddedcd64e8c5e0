// Loads arbitrary bytes as a BMP picture; a 24-bit picture is converted, melody and chords,
// and the song is written to memory and read back.
//
// The settings for the conversion come from header bytes that the reader keeps but never
// interprets, so the fuzzer varies them independently of the picture:
//   offsets 2-5 (file size)                    seed of the up/down draws
//   offsets 38-52 (resolutions, colour counts) a stored settings record, 15 bytes

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <utility>

#include "app/conversion_settings.h"
#include "convert/melody.h"
#include "image/bitmap_image.h"
#include "invariant.h"
#include "memory_file.h"
#include "midi/smf_writer.h"
#include "song_checks.h"

namespace pixorale::fuzz {
namespace {

constexpr size_t kHeaderSize = 54;
constexpr size_t kSeedField = 2;
constexpr size_t kSettingsField = 38;

// Draws from a xorshift generator: the same input always snaps the same way.
class SeededBits final : public RandomBitSource {
 public:
  explicit SeededBits(uint32_t seed) : state_(seed | 1u) {}
  uint32_t Draw() override {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  uint32_t state_;
};

// A little-endian header field; bytes the input does not reach count as zero, as they do
// for the reader.
uint32_t HeaderField(std::span<const uint8_t> input, size_t offset, size_t size) {
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;) {
    value = (value << 8) | (offset + i < input.size() ? input[offset + i] : 0u);
  }
  return value;
}

// A row must show the file's bytes where the file reaches and zeros past its end.
void CheckRow(const BitmapImage& image, std::span<const uint8_t> input, uint32_t r) {
  uint64_t pixelOffset = HeaderField(input, 10, 4);
  if (pixelOffset < kHeaderSize || pixelOffset > input.size()) pixelOffset = kHeaderSize;
  const uint64_t rowBytes = uint64_t{image.width} * 3;
  const uint64_t stride = (rowBytes + 3) & ~uint64_t{3};
  const std::span<const uint8_t> row = image.Row24(r);
  Require(row.size() == rowBytes, "row of the wrong length");
  for (uint64_t i = 0; i < rowBytes; ++i) {
    const uint64_t at = pixelOffset + r * stride + i;
    Require(row[i] == (at < input.size() ? input[at] : 0), "row byte differs from the file");
  }
}

void CheckLoadedHeader(const BitmapImage& image, std::span<const uint8_t> input) {
  if (input.size() >= 22) Require(image.width == HeaderField(input, 18, 4), "width not as stored");
  if (input.size() >= 26) {
    const uint32_t stored = HeaderField(input, 22, 4);
    const uint32_t rows = (stored & 0x80000000u) != 0 ? 0u - stored : stored;
    Require(image.height == rows, "height is not the stored row count");
  }
  if (input.size() >= 30) {
    Require(image.bitCount == HeaderField(input, 28, 2), "bit count not as stored");
  }
  // The bytes kept but not interpreted: 0-17, 26-27 and 30-53 of the file, in that order.
  constexpr std::array<std::pair<size_t, size_t>, 3> kScratchRanges = {
      {{0, 18}, {26, 28}, {30, kHeaderSize}}};
  size_t scratch = 0;
  for (const auto& [begin, end] : kScratchRanges) {
    for (size_t at = begin; at < end; ++at, ++scratch) {
      Require(image.headerScratch[scratch] == (at < input.size() ? input[at] : 0),
              "uninterpreted header byte not kept");
    }
  }
}

void ConvertAndWrite(BitmapImage& image, std::span<const uint8_t> input) {
  ConversionSettings settings;
  if (input.size() > kSettingsField) settings.FromBytes(input.subspan(kSettingsField));
  // The chord track is derived from the melody, so with chords on both are exercised.
  settings.chordMode = 1;
  const ConversionParameters params = settings.ToParameters();
  SeededBits bits(HeaderField(input, kSeedField, 4));

  Song song;
  Require(ConvertImageToSong(song, image, params, bits), "conversion reported failure");
  CheckConvertedSong(song, params, image.HasRows24() ? image.width : 0);

  std::ostringstream out;
  Require(WriteSong(song, out), "writing to memory failed");
  CheckWrittenSong(song, out.str());
  song.ClearSong();
  Require(song.tracks.empty() && song.trackCount == 0, "song not empty after ClearSong");
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
  const PictureLoad load = image.LoadBitmapFile(file.Path());
  Require(load.failedStep != PictureStep::kOpen && load.failedStep != PictureStep::kRead,
          "a readable file was not loaded");
  if (load.failedStep == PictureStep::kHeader) {
    Require(image.bitCount == 0 && image.width == 0 && image.height == 0,
            "a refused picture is not left empty");
    return 0;
  }
  CheckLoadedHeader(image, input);
  if (image.bitCount != 24) {
    Require(!image.HasRows24(), "rows kept for a picture that is not 24-bit");
    return 0;
  }
  if (image.HasRows24()) {
    CheckRow(image, input, 0);
    CheckRow(image, input, image.MiddleRowIndex());
  }
  ConvertAndWrite(image, input);
  image.FreeBitmap();
  Require(image.bitCount == 0 && !image.HasRows24(), "image not empty after FreeBitmap");
  return 0;
}
