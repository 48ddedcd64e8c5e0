#include "io/read_only_file.h"

#include <utility>

namespace pixorale {

// The handle's life; opening, reading and closing are the platform's
// (read_only_file_<platform>.cpp).
ReadOnlyFile::~ReadOnlyFile() {
  Close();
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      size_(std::exchange(other.size_, 0)),
      lastError_(other.lastError_) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, -1);
    size_ = std::exchange(other.size_, 0);
    lastError_ = other.lastError_;
  }
  return *this;
}

bool ReadOnlyFile::IsOpen() const {
  return handle_ != -1;
}

}  // namespace pixorale
