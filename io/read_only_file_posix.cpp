#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "io/read_only_file.h"

namespace pixorale {

void ReadOnlyFile::Close() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  size_ = 0;
}

IoResult ReadOnlyFile::Open(const std::string& path) {
  Close();
  // Non-blocking, so that opening a FIFO with no writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return IoResult::Failure(IoStep::kOpen, errno);
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return IoResult::Failure(IoStep::kOpen, error);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return IoResult::Failure(
        S_ISDIR(status.st_mode) ? IoStep::kIsDirectory : IoStep::kNotRegularFile,
        S_ISDIR(status.st_mode) ? EISDIR : 0);
  }
  handle_ = fd;
  size_ = static_cast<uint64_t>(status.st_size);
  return {};
}

int64_t ReadOnlyFile::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  const int fd = static_cast<int>(handle_);
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t got =
        ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      lastError_ = errno;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

}  // namespace pixorale
