#include "memory_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "invariant.h"

namespace pixorale::fuzz {

MemoryFile::MemoryFile() : fd_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
  Require(fd_ >= 0, "memfd_create failed");
  path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) close(fd_);
}

void MemoryFile::Replace(const uint8_t* data, size_t size) {
  Require(ftruncate(fd_, 0) == 0, "cannot empty the in-memory file");
  size_t done = 0;
  while (done < size) {
    const ssize_t written = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    Require(written > 0, "cannot fill the in-memory file");
    done += static_cast<size_t>(written);
  }
}

}  // namespace pixorale::fuzz
