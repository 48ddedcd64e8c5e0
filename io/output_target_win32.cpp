#include <filesystem>
#include <system_error>

#include "io/output_target.h"
#include "io/utf8_path.h"

namespace pixorale {

// Windows names no descriptor by a path: a console or a pipe is a device, written in place
// by the writer itself.
OutputTarget ResolveOutputTarget(const std::string& name) {
  namespace fs = std::filesystem;
  OutputTarget target;
  std::error_code error;
  const fs::path absolute = fs::absolute(PathFromUtf8(name), error);
  const fs::path canonical = fs::weakly_canonical(absolute, error);
  target.resolvedPath = Utf8FromPath(error ? absolute.lexically_normal() : canonical);
  return target;
}

bool SameOutput(const std::string& a, const std::string& b) {
  const std::string first = ResolveOutputTarget(a).resolvedPath;
  const std::string second = ResolveOutputTarget(b).resolvedPath;
  if (first == second) return true;
  std::error_code error;
  return std::filesystem::equivalent(PathFromUtf8(first), PathFromUtf8(second), error);
}

}  // namespace pixorale
