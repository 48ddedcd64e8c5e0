#include "read_only_directory.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace pixorale::test {
namespace {

bool BindReadOnly(const std::filesystem::path& dir) {
  const char* path = dir.c_str();
  // Private propagation first, or the new mount would show in the parent namespace.
  return ::unshare(CLONE_NEWNS) == 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount(path, path, nullptr, MS_BIND, nullptr) == 0;
}

// Trying is the only reliable test: access(2) says yes to root whatever the bits are.
bool CanCreateFileIn(const std::filesystem::path& dir) {
  const std::filesystem::path probe = dir / ".write-probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

ReadOnlyDirectory::ReadOnlyDirectory(std::filesystem::path dir) : dir_(std::move(dir)) {
  if (BindReadOnly(dir_)) {
    mounted_ = true;
    ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
  } else if (::geteuid() != 0) {
    chmodded_ = ::chmod(dir_.c_str(), 0555) == 0;
  }
  if (CanCreateFileIn(dir_)) {
    whyNot_ = ::geteuid() == 0 ? "running as root without the right to mount: root ignores "
                                 "permission bits"
                               : "neither a read-only mount nor permission bits took effect";
  }
}

ReadOnlyDirectory::~ReadOnlyDirectory() {
  if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  if (chmodded_) ::chmod(dir_.c_str(), 0755);
}

}  // namespace pixorale::test
