#include "io/stale_temporaries_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <mutex>
#include <random>
#include <set>

#include "io/file_descriptor.h"
#include "io/shared_locks.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// Far longer than a writer takes from creating its temporary to locking it.
constexpr time_t kUnlockedEmptyGraceSeconds = 10;

constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryRandomLetters ||
      !name.starts_with(kTemporaryPrefix)) {
    return false;
  }
  name.remove_prefix(kTemporaryPrefix.size());
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Claims the folder for this process's one look.
bool FirstLookAt(const fs::path& directory) {
  static std::mutex mutex;
  static std::set<std::string> looked;
  const std::lock_guard lock(mutex);
  return looked.insert(directory.lexically_normal().string()).second;
}

void RemoveIfStale(const fs::path& path) {
  FileDescriptor fd(
      ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return;
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return;  // a live writer holds it
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    return;
  }
  if (info.st_size == 0 && std::time(nullptr) - info.st_mtime < kUnlockedEmptyGraceSeconds) return;
  // The name must still be the file looked at, not a new temporary that took it since.
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0 || named.st_dev != info.st_dev ||
      named.st_ino != info.st_ino) {
    return;
  }
  ::unlink(path.c_str());
}

}  // namespace

std::string NewTemporaryName() {
  thread_local std::minstd_rand engine(std::random_device{}());
  std::string name(kTemporaryPrefix);
  for (size_t i = 0; i < kTemporaryRandomLetters; ++i) {
    name += kAlphabet[engine() % (sizeof kAlphabet - 1)];
  }
  return name;
}

bool LockAsOwner(int fd) {
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

void RemoveStaleTemporaries(const fs::path& directory) {
  if (!FirstLookAt(directory) || !LocksAreSharedIn(directory)) return;
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    if (IsTemporaryName(it->path().filename().string())) RemoveIfStale(it->path());
  }
}

}  // namespace pixorale
