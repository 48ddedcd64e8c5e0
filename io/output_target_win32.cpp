#include <filesystem>
#include <system_error>

#include "io/output_target.h"
#include "io/utf8_path.h"

namespace pixorale {

// Windows names no descriptor by a path: a console or a pipe is a device, written in place
// by the writer itself.
OutputTarget ResolveOutputTarget(const std::string& name) {
  OutputTarget target;
  target.finalPath = name;
  return target;
}

std::string ComparablePath(const OutputTarget& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path absolute = fs::absolute(PathFromUtf8(target.finalPath), error);
  const fs::path canonical = fs::weakly_canonical(absolute, error);
  return Utf8FromPath(error ? absolute.lexically_normal() : canonical);
}

bool SameOutput(const std::string& a, const std::string& b) {
  const std::string first = ComparablePath(ResolveOutputTarget(a));
  const std::string second = ComparablePath(ResolveOutputTarget(b));
  if (first == second) return true;
  std::error_code error;
  return std::filesystem::equivalent(PathFromUtf8(first), PathFromUtf8(second), error);
}

}  // namespace pixorale
