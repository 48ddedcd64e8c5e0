#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pixorale {

inline constexpr uint32_t kWavSampleRate = 44100;
inline constexpr uint16_t kWavChannels = 2;
inline constexpr uint16_t kWavBitsPerSample = 16;
inline constexpr uint32_t kWavFrameBytes = kWavChannels * kWavBitsPerSample / 8;
inline constexpr uint32_t kWavHeaderBytes = 44;
// The RIFF size field counts everything after itself in 32 bits.
inline constexpr uint64_t kWavMaxFrames = (0xFFFFFFFFull - (kWavHeaderBytes - 8)) / kWavFrameBytes;

// The 44-byte header of a 16-bit PCM stereo WAV file holding `frames` frames.
std::array<uint8_t, kWavHeaderBytes> WavHeader(uint32_t frames);

}  // namespace pixorale
