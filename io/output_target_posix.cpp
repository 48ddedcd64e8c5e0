#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <system_error>

#include "io/output_target.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// The same bound the kernel puts on a chain of symbolic links.
constexpr int kMaxSymlinkHops = 40;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The descriptor N when `link` is the entry N of this process's own descriptor folder
// (/proc/<pid>/fd, or a thread's), however the folder was named.
std::optional<int> OwnDescriptorEntry(const fs::path& link) {
  std::error_code error;
  const fs::path folder = fs::canonical(link.has_parent_path() ? link.parent_path() : ".", error);
  if (error) return std::nullopt;
  bool own = false;
  for (const char* name : {"/proc/self/fd", "/proc/thread-self/fd"}) {
    own = own || fs::canonical(name, error) == folder;
  }
  if (!own) return std::nullopt;
  const std::string entry = link.filename().string();
  int fd = -1;
  const auto [end, problem] = std::from_chars(entry.data(), entry.data() + entry.size(), fd);
  if (problem != std::errc() || end != entry.data() + entry.size() || fd < 0) return std::nullopt;
  return fd;
}

// Standard output or error when `path` names the very file one of them is open on. Devices
// and pipes are written in place whatever their name, so only files need telling apart.
std::optional<int> StandardStreamOpenOn(const fs::path& path) {
  struct stat target {};
  if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return std::nullopt;
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream {};
    if (::fstat(fd, &stream) == 0 && SameFile(stream, target)) return fd;
  }
  return std::nullopt;
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& name) {
  OutputTarget target;
  fs::path path = name;
  for (int hop = 0;; ++hop) {
    if (hop == kMaxSymlinkHops) return target;  // a loop of links
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
    // An open descriptor's entry is a link whose text ("pipe:[4711]") names no file.
    if (const std::optional<int> fd = OwnDescriptorEntry(path)) {
      target.descriptor = fd;
      return target;
    }
    std::error_code error;
    const fs::path link = fs::read_symlink(path, error);
    if (error) return target;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  target.descriptor = StandardStreamOpenOn(path);
  target.finalPath = path.string();
  return target;
}

std::string ComparablePath(const OutputTarget& target) {
  if (target.finalPath.empty()) return {};
  std::error_code error;
  const fs::path absolute = fs::absolute(target.finalPath, error);
  const fs::path canonical = fs::weakly_canonical(absolute, error);
  return (error ? absolute.lexically_normal() : canonical).string();
}

bool SameOutput(const std::string& a, const std::string& b) {
  const OutputTarget first = ResolveOutputTarget(a);
  const OutputTarget second = ResolveOutputTarget(b);
  if (first.descriptor && second.descriptor) return *first.descriptor == *second.descriptor;
  if (!first.descriptor && !second.descriptor && !first.finalPath.empty() &&
      ComparablePath(first) == ComparablePath(second)) {
    return true;
  }
  // What is open on a descriptor is compared with the file the other name leads to.
  const auto identity = [](const OutputTarget& target, struct stat& info) {
    return target.descriptor ? ::fstat(*target.descriptor, &info) == 0
                             : ::stat(target.finalPath.c_str(), &info) == 0;
  };
  struct stat x {};
  struct stat y {};
  return identity(first, x) && identity(second, y) && SameFile(x, y);
}

}  // namespace pixorale
