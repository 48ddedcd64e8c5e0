#pragma once

#include <string>
#include <string_view>

namespace pixorale {

// Text is UTF-8 inside the program and UTF-16 at every Windows call: the wide calls show
// Japanese texts and file names correctly whatever the system's ANSI code page is.
// Invalid sequences become U+FFFD rather than being dropped.
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);

}  // namespace pixorale
