#pragma once

#include <string_view>

namespace pixorale::converter {

// The converter's name, as its help, its version and every message it prints give it.
inline constexpr std::string_view kProgram = "pixorale-convert";
inline constexpr std::string_view kMessagePrefix = "pixorale-convert: ";

}  // namespace pixorale::converter
