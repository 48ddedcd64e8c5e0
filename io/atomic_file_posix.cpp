#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "io/atomic_file.h"
#include "io/file_descriptor.h"
#include "io/pending_name.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// The same bound the kernel puts on a chain of symbolic links.
constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666;
constexpr int kNameAttempts = 100;

// Named temporaries that exist right now, removed on SIGINT and SIGTERM.
using PendingTemporary = PendingName<char, PATH_MAX>;

// "dir/.pixorale-k3J9xQ": hidden, and unlikely to be taken.
std::string RandomSiblingName(const fs::path& directory) {
  static constexpr char kAlphabet[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::minstd_rand engine(std::random_device{}());
  std::string name = ".pixorale-";
  for (int i = 0; i < 6; ++i) name += kAlphabet[engine() % (sizeof kAlphabet - 1)];
  return (directory / name).string();
}

// Follows a chain of symbolic links to the file that finally gets written, so that the
// replacement lands beside that file and the link itself stays a link.
std::optional<fs::path> FinalTarget(fs::path path) {
  for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    const fs::path link = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return std::nullopt;  // a loop of links
}

mode_t CurrentUmask() {
  // Linux reports the mask without changing it; umask() can only read it by setting it,
  // which briefly affects files other threads create.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    unsigned int mask = 0;
    if (std::sscanf(line.c_str(), "Umask: %o", &mask) == 1) return mask;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

IoResult Failure(IoStep step) {
  return IoResult::Failure(step, errno);
}

// The temporary the body goes to. Unnamed where the file system allows (O_TMPFILE): it
// vanishes with the process however that ends, and appears only when linked to its name.
// Elsewhere a hidden name beside the target, removed on failure and on SIGINT/SIGTERM.
class Temporary {
 public:
  explicit Temporary(fs::path directory) : directory_(std::move(directory)) {}
  ~Temporary() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  IoResult Create() {
    fd_ = ::open(directory_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
    // Linking an unnamed file goes through /proc; without it, or without O_TMPFILE support
    // in this file system, a hidden name does the job.
    if (fd_ >= 0 && ::access("/proc/self/fd", X_OK) == 0) return {};
    if (fd_ >= 0) ::close(fd_);
    std::string pattern = (directory_ / ".pixorale-XXXXXX").string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return Failure(IoStep::kCreate);
    name_ = pattern;
    pending_.emplace(name_);
    return {};
  }

  int fd() const { return fd_; }

  // Closes the finished file and gives it its name. `replace` allows taking the name from a
  // file that has it; otherwise a taken name fails with kExists, decided by the kernel in
  // the same step. Close reports the last deferred write errors (NFS, quotas), so a named
  // temporary is closed first; an unnamed one can only be linked while it is open, and the
  // file systems that have unnamed files report write errors before close.
  IoResult Publish(const fs::path& target, bool replace) {
    if (name_.empty()) {
      const IoResult published = PublishUnnamed(target, replace);
      const IoResult closed = Close();
      return published ? closed : published;
    }
    if (const IoResult closed = Close(); !closed) return closed;
    if (replace) {
      if (::rename(name_.c_str(), target.c_str()) != 0) return Failure(IoStep::kRename);
    } else if (::renameat2(AT_FDCWD, name_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) !=
               0) {
      if (errno != EINVAL && errno != ENOSYS) return RenameFailure();
      // No RENAME_NOREPLACE here: a hard link refuses a taken name just as well.
      if (::link(name_.c_str(), target.c_str()) != 0) return RenameFailure();
      ::unlink(name_.c_str());
    }
    name_.clear();
    return {};
  }

 private:
  static IoResult RenameFailure() {
    return IoResult::Failure(errno == EEXIST ? IoStep::kExists : IoStep::kRename, errno);
  }

  IoResult Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? IoResult{} : Failure(IoStep::kWrite);
  }

  std::string ProcPath() const { return "/proc/self/fd/" + std::to_string(fd_); }

  IoResult PublishUnnamed(const fs::path& target, bool replace) {
    const std::string source = ProcPath();
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return {};
    }
    if (errno != EEXIST || !replace) return RenameFailure();
    // Replacing needs a name to rename from; it exists only for the two calls below.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::string sibling = RandomSiblingName(directory_);
      if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, sibling.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno == EEXIST) continue;
        return Failure(IoStep::kRename);
      }
      const PendingTemporary pending(sibling);
      if (::rename(sibling.c_str(), target.c_str()) != 0) {
        const IoResult failed = Failure(IoStep::kRename);
        ::unlink(sibling.c_str());
        return failed;
      }
      return {};
    }
    return IoResult::Failure(IoStep::kRename, EEXIST);
  }

  fs::path directory_;
  int fd_ = -1;
  std::string name_;  // empty while unnamed
  std::optional<PendingTemporary> pending_;
};

IoResult WriteInPlace(const fs::path& target, const WriteBody& writeBody) {
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
  if (!fd.valid()) return Failure(IoStep::kOpen);
  const IoResult written = WriteToDescriptor(fd.get(), writeBody);
  if (!written) return written;
  return fd.Close() ? IoResult{} : Failure(IoStep::kWrite);
}

IoResult WriteThroughTemporary(const fs::path& target, const struct stat* existing,
                               const WriteBody& writeBody, const WriteOptions& options) {
  Temporary temporary(target.has_parent_path() ? target.parent_path() : fs::path("."));
  if (const IoResult created = temporary.Create(); !created) return created;
  const int fd = temporary.fd();

  if (existing != nullptr) {
    // Owner first: changing it would clear set-id bits set before.
    if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
        ::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      // Not allowed to give the file away: it stays ours, with the old permission bits.
    }
  }
  const mode_t mode =
      existing != nullptr ? existing->st_mode & kPermissionBits : kNewFileMode & ~CurrentUmask();
  if (::fchmod(fd, mode) != 0) return Failure(IoStep::kCreate);

  if (const IoResult written = WriteToDescriptor(fd, writeBody); !written) return written;
  // The data must be on disk before the name moves to it, or a crash could leave the name
  // on an empty file. The directory is not synced: after a crash the name holds the old
  // file or the new one, each complete.
  const bool sync = existing != nullptr || options.syncNewFile == SyncNewFile::kYes;
  if (sync && ::fsync(fd) != 0) return Failure(IoStep::kSync);
  return temporary.Publish(target, options.existing == ExistingFile::kReplace);
}

}  // namespace

IoResult WriteFileAtomically(const std::string& path, const WriteBody& writeBody,
                             const WriteOptions& options) {
  if (path.empty()) return IoResult::Failure(IoStep::kOpen, ENOENT);
  const std::optional<fs::path> target = FinalTarget(path);
  if (!target) return IoResult::Failure(IoStep::kOpen, ELOOP);

  struct stat existing {};
  if (::stat(target->c_str(), &existing) != 0) {
    if (errno != ENOENT) return Failure(IoStep::kOpen);
    return WriteThroughTemporary(*target, nullptr, writeBody, options);
  }
  if (S_ISDIR(existing.st_mode)) return IoResult::Failure(IoStep::kIsDirectory, EISDIR);
  if (options.existing == ExistingFile::kKeep) return IoResult::Failure(IoStep::kExists, EEXIST);
  if (!S_ISREG(existing.st_mode)) {
    if (options.nonRegular == NonRegularTarget::kRefuse) {
      return IoResult::Failure(IoStep::kNotRegularFile, 0);
    }
    return WriteInPlace(*target, writeBody);
  }
  return WriteThroughTemporary(*target, &existing, writeBody, options);
}

void RemoveTemporariesOnSignal() noexcept {
  PendingTemporary::RemoveAll([](const char* path) { ::unlink(path); });
}

}  // namespace pixorale
