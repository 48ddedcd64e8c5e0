#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pixorale {

// Paths are UTF-8 text inside the program. A std::filesystem::path made from a plain
// std::string takes the bytes in the system's narrow encoding, which on Windows is not UTF-8
// (Japanese names came out garbled); made from UTF-8 code units it is right on every system,
// and on Linux it keeps any bytes as they are.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace pixorale
