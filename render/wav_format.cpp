#include "render/wav_format.h"

namespace pixorale {
namespace {

constexpr uint16_t kPcmFormat = 1;
constexpr uint32_t kFormatChunkBytes = 16;

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::array<uint8_t, kWavHeaderBytes>& bytes) : bytes_(bytes) {}
  void Text(const char (&text)[5]) {
    for (int i = 0; i < 4; ++i) bytes_[at_++] = static_cast<uint8_t>(text[i]);
  }
  void U16(uint16_t value) {
    for (int i = 0; i < 2; ++i) bytes_[at_++] = static_cast<uint8_t>(value >> (8 * i));
  }
  void U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at_++] = static_cast<uint8_t>(value >> (8 * i));
  }

 private:
  std::array<uint8_t, kWavHeaderBytes>& bytes_;
  size_t at_ = 0;
};

}  // namespace

std::array<uint8_t, kWavHeaderBytes> WavHeader(uint32_t frames) {
  std::array<uint8_t, kWavHeaderBytes> bytes{};
  const uint32_t dataBytes = frames * kWavFrameBytes;
  LittleEndianWriter out(bytes);
  out.Text("RIFF");
  out.U32(kWavHeaderBytes - 8 + dataBytes);
  out.Text("WAVE");
  out.Text("fmt ");
  out.U32(kFormatChunkBytes);
  out.U16(kPcmFormat);
  out.U16(kWavChannels);
  out.U32(kWavSampleRate);
  out.U32(kWavSampleRate * kWavFrameBytes);
  out.U16(static_cast<uint16_t>(kWavFrameBytes));
  out.U16(kWavBitsPerSample);
  out.Text("data");
  out.U32(dataBytes);
  return bytes;
}

}  // namespace pixorale
