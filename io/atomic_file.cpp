#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <streambuf>

#include "io/file_descriptor.h"

namespace pixorale {

namespace {

namespace fs = std::filesystem;

// Large enough that a multi-megabyte song costs a few dozen system calls.
constexpr size_t kStreamBufferSize = 256 * 1024;
// The same bound the kernel puts on a chain of symbolic links.
constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666;

// An output stream buffer over a file descriptor that remembers whether any write failed,
// so that a full disk or an I/O error surfaces as a failed stream.
class DescriptorStreamBuf : public std::streambuf {
 public:
  // The buffer is left uninitialised: zeroing 256 KB cost more than writing a small song.
  explicit DescriptorStreamBuf(int fd)
      : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kStreamBufferSize)) {
    ResetBuffer();
  }

  bool failed() const { return failed_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!FlushBuffer()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

  std::streamsize xsputn(const char* data, std::streamsize count) override {
    if (failed_) return 0;
    if (count > epptr() - pptr()) {
      if (!FlushBuffer()) return 0;
      // Too big for the buffer even when empty: hand it to the kernel as it is.
      if (count > epptr() - pptr()) return WriteAll(data, static_cast<size_t>(count)) ? count : 0;
    }
    std::memcpy(pptr(), data, static_cast<size_t>(count));
    pbump(static_cast<int>(count));
    return count;
  }

  int sync() override { return FlushBuffer() ? 0 : -1; }

 private:
  void ResetBuffer() { setp(buffer_.get(), buffer_.get() + kStreamBufferSize); }

  bool FlushBuffer() {
    const bool written = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    ResetBuffer();
    return written;
  }

  bool WriteAll(const char* data, size_t size) {
    while (!failed_ && size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0) {
        if (errno != EINTR) failed_ = true;
        continue;
      }
      data += written;
      size -= static_cast<size_t>(written);
    }
    return !failed_;
  }

  int fd_;
  std::unique_ptr<char[]> buffer_;
  bool failed_ = false;
};

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }
  void MarkCommitted() { committed_ = true; }

 private:
  std::string path_;
  bool committed_ = false;
};

bool WriteBody(int fd, const std::function<bool(std::ostream&)>& writeBody) {
  DescriptorStreamBuf buffer(fd);
  std::ostream out(&buffer);
  if (!writeBody(out)) return false;
  out.flush();
  return !out.fail() && !buffer.failed();
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
    if (std::sscanf(line.c_str(), "Umask: %o", &mask) == 1) return static_cast<mode_t>(mask);
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// A device, a pipe or another non-regular file cannot be replaced by renaming.
bool WriteInPlace(const fs::path& target, const std::function<bool(std::ostream&)>& writeBody) {
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
  if (!fd.valid()) return false;
  const bool written = WriteBody(fd.get(), writeBody);
  return fd.Close() && written;
}

bool ReplaceRegularFile(const fs::path& target, const struct stat* existing,
                        const std::function<bool(std::ostream&)>& writeBody,
                        SyncNewFile syncNewFile) {
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string pattern = (directory / ".pixorale-XXXXXX").string();
  FileDescriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
  if (!fd.valid()) return false;
  TemporaryFile temporary(pattern);

  if (existing != nullptr) {
    // Owner first: changing it would clear set-id bits set before.
    if ((existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
        ::fchown(fd.get(), existing->st_uid, existing->st_gid) != 0) {
      // Not allowed to give the file away: it stays ours, with the old permission bits.
    }
  }
  const mode_t mode =
      existing != nullptr ? existing->st_mode & kPermissionBits : kNewFileMode & ~CurrentUmask();
  if (::fchmod(fd.get(), mode) != 0) return false;

  if (!WriteBody(fd.get(), writeBody)) return false;
  // The data must be on disk before the rename, or a crash could leave the name on an empty
  // file. The directory is not synced: after a crash the name holds the old file or the
  // new one, each complete.
  const bool sync = existing != nullptr || syncNewFile == SyncNewFile::kYes;
  if (sync && ::fsync(fd.get()) != 0) return false;
  if (!fd.Close()) return false;
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) return false;
  temporary.MarkCommitted();
  return true;
}

// A file that does not exist yet is written under its own name: there is nothing to keep
// safe, and a batch avoids a second directory update per file (creating and renaming in one
// directory serialise on its lock). A failed write removes what was made. Returns nothing
// when the name appeared meanwhile, so the caller replaces it the careful way.
std::optional<bool> WriteNewFile(const fs::path& target,
                                 const std::function<bool(std::ostream&)>& writeBody) {
  FileDescriptor fd(
      ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, kNewFileMode));
  if (!fd.valid()) {
    if (errno == EEXIST) return std::nullopt;
    return false;
  }
  const bool written = WriteBody(fd.get(), writeBody);
  if (fd.Close() && written) return true;
  ::unlink(target.c_str());
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path,
                         const std::function<bool(std::ostream&)>& writeBody,
                         SyncNewFile syncNewFile) {
  if (path.empty()) return false;
  const std::optional<fs::path> target = FinalTarget(path);
  if (!target) return false;

  struct stat existing {};
  bool exists = ::stat(target->c_str(), &existing) == 0;
  if (!exists && errno == ENOENT && syncNewFile == SyncNewFile::kNo) {
    if (const std::optional<bool> written = WriteNewFile(*target, writeBody)) return *written;
    exists = ::stat(target->c_str(), &existing) == 0;  // the name appeared meanwhile
  }
  if (!exists) return ReplaceRegularFile(*target, nullptr, writeBody, syncNewFile);
  if (!S_ISREG(existing.st_mode)) return WriteInPlace(*target, writeBody);
  return ReplaceRegularFile(*target, &existing, writeBody, syncNewFile);
}

}  // namespace pixorale
