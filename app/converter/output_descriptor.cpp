#include "app/converter/output_descriptor.h"

#include <limits>

#include "app/converter/option_values.h"
#include "io/output_target.h"

namespace pixorale::converter {

std::optional<int> StandardStreamDescriptor(std::string_view path) {
  if (path == "-") return kStandardOutput;
  if (const std::optional<int> fd = ResolveOutputTarget(std::string(path)).descriptor) return fd;
  // Spelt as a descriptor that is not open: written in place all the same, and refused by the
  // system for it.
  if (path == "/dev/stdout") return kStandardOutput;
  if (path == "/dev/stderr") return 2;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (path.starts_with(prefix)) {
      const auto fd = ParseDecimal(path.substr(prefix.size()), 0, std::numeric_limits<int>::max());
      if (fd) return static_cast<int>(*fd);
    }
  }
  return std::nullopt;
}

}  // namespace pixorale::converter
