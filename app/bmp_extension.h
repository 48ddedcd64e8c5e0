#pragma once

#include <string_view>

namespace pixorale {

// True exactly when the path's extension (from the last "." of its last component) is
// ".bmp" or ".BMP". Mixed case, a trailing blank or a closing quote fail.
bool HasBmpExtension(std::string_view path);

}  // namespace pixorale
