#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "io/atomic_file.h"
#include "io/file_descriptor.h"
#include "io/output_target.h"
#include "io/pending_name.h"
#include "io/rename_no_replace.h"
#include "io/stale_temporaries_posix.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kTemporaryMode = 0600;  // private until it gets its own mode
constexpr int kNameAttempts = 100;

// Named temporaries that exist right now, removed on SIGINT and SIGTERM.
using PendingTemporary = PendingName<char, PATH_MAX>;

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
// Either is locked before it has a name, so a hidden one nobody locks is known to be stale.
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
    if (fd_ < 0 || ::access("/proc/self/fd", X_OK) != 0) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = -1;
      if (const IoResult created = CreateNamed(); !created) return created;
    }
    // Where this writer cannot lock its own temporary, no temporary there can be told stale
    // from live: the folder is left unswept.
    if (LockAsOwner(fd_)) RemoveStaleTemporaries(directory_);
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
    // The lock belongs to the open file rather than to a descriptor: a copy keeps it while
    // the writing one is closed, until the file has its name, so that no sweep by another
    // run takes the temporary for stale in between.
    const FileDescriptor lock(::dup(fd_));
    if (!lock.valid()) return Failure(IoStep::kWrite);
    if (const IoResult closed = Close(); !closed) return closed;
    if (replace) {
      if (::rename(name_.c_str(), target.c_str()) != 0) return Failure(IoStep::kRename);
    } else if (RenameNoReplace(name_.c_str(), target.c_str()) != 0) {
      if (errno != EINVAL && errno != ENOSYS) return RenameFailure();
      // No RENAME_NOREPLACE here: a hard link refuses a taken name just as well.
      if (::link(name_.c_str(), target.c_str()) != 0) return RenameFailure();
      ::unlink(name_.c_str());
    }
    name_.clear();
    return {};
  }

 private:
  IoResult CreateNamed() {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string name = (directory_ / NewTemporaryName()).string();
      fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kTemporaryMode);
      if (fd_ >= 0) {
        name_ = std::move(name);
        pending_.emplace(name_);
        return {};
      }
      if (errno != EEXIST) return Failure(IoStep::kCreate);
    }
    return IoResult::Failure(IoStep::kCreate, EEXIST);
  }

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
      const std::string sibling = (directory_ / NewTemporaryName()).string();
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

}  // namespace

struct PendingFile::State {
  fs::path target;
  bool replace = false;
  bool existed = false;
  std::optional<Temporary> temporary;  // none when written in place, or once published
  bool ready = false;                  // every byte is in the temporary
  bool published = false;
};

PendingFile::PendingFile() = default;
PendingFile::~PendingFile() = default;
PendingFile::PendingFile(PendingFile&&) noexcept = default;
PendingFile& PendingFile::operator=(PendingFile&&) noexcept = default;

IoResult PendingFile::Write(const std::string& path, const WriteBody& writeBody,
                            const WriteOptions& options) {
  state_ = std::make_unique<State>();
  if (path.empty()) return IoResult::Failure(IoStep::kOpen, ENOENT);
  const OutputTarget resolved = ResolveOutputTarget(path);
  if (resolved.descriptor) {
    if (options.nonRegular == NonRegularTarget::kWriteInPlace) {
      return WriteToDescriptor(*resolved.descriptor, writeBody);
    }
    // Refusing to write in place: the file standard output is redirected to is still a
    // file, replaced as any other; a pipe or a device is refused.
    struct stat open {};
    if (resolved.finalPath.empty() || ::fstat(*resolved.descriptor, &open) != 0 ||
        !S_ISREG(open.st_mode)) {
      return IoResult::Failure(IoStep::kNotRegularFile, 0);
    }
  }
  if (resolved.finalPath.empty()) return IoResult::Failure(IoStep::kOpen, ELOOP);
  const fs::path target = resolved.finalPath;

  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) {
    if (errno != ENOENT) return Failure(IoStep::kOpen);
  } else {
    if (S_ISDIR(existing.st_mode)) return IoResult::Failure(IoStep::kIsDirectory, EISDIR);
    if (options.existing == ExistingFile::kKeep) return IoResult::Failure(IoStep::kExists, EEXIST);
    if (!S_ISREG(existing.st_mode)) {
      if (options.nonRegular == NonRegularTarget::kRefuse) {
        return IoResult::Failure(IoStep::kNotRegularFile, 0);
      }
      return WriteInPlace(target, writeBody);
    }
    state_->existed = true;
  }

  Temporary& temporary =
      state_->temporary.emplace(target.has_parent_path() ? target.parent_path() : fs::path("."));
  if (const IoResult created = temporary.Create(); !created) return created;
  const int fd = temporary.fd();
  if (state_->existed) {
    // Owner first: changing it would clear set-id bits set before.
    if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Not allowed to give the file away: it stays ours, with the old permission bits.
    }
  }
  const mode_t mode =
      state_->existed ? existing.st_mode & kPermissionBits : kNewFileMode & ~CurrentUmask();
  if (::fchmod(fd, mode) != 0) return Failure(IoStep::kCreate);

  if (const IoResult written = WriteToDescriptor(fd, writeBody); !written) return written;
  // The data must be on disk before the name moves to it, or a crash could leave the name
  // on an empty file. The directory is not synced: after a crash the name holds the old
  // file or the new one, each complete.
  const bool sync = state_->existed || options.syncNewFile == SyncNewFile::kYes;
  if (sync && ::fsync(fd) != 0) return Failure(IoStep::kSync);
  state_->target = target;
  state_->replace = options.existing == ExistingFile::kReplace;
  state_->ready = true;
  return {};
}

IoResult PendingFile::Publish() {
  if (!state_ || !state_->temporary) return {};
  if (!state_->ready) return IoResult::Failure(IoStep::kBody, 0);
  const IoResult published = state_->temporary->Publish(state_->target, state_->replace);
  state_->temporary.reset();
  state_->published = published.ok();
  return published;
}

void PendingFile::Withdraw() {
  if (state_ && state_->published && !state_->existed) ::unlink(state_->target.c_str());
}

void RemoveTemporariesOnSignal() noexcept {
  PendingTemporary::RemoveAll([](const char* path) { ::unlink(path); });
}

}  // namespace pixorale
