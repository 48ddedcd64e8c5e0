#include "app/bmp_extension.h"

namespace pixorale {

bool HasBmpExtension(std::string_view path) {
  const size_t componentStart = path.find_last_of('/');
  const std::string_view component =
      componentStart == std::string_view::npos ? path : path.substr(componentStart + 1);
  const size_t dot = component.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = component.substr(dot);
  return extension == ".bmp" || extension == ".BMP";
}

}  // namespace pixorale
