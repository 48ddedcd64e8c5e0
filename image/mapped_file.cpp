#include "image/mapped_file.h"

#include <sys/mman.h>

#include <utility>

namespace pixorale {

MappedFile::~MappedFile() {
  Unmap();
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool MappedFile::Map(int fd, size_t size) {
  Unmap();
  if (size == 0) return false;  // mmap cannot map an empty range
  // MAP_NORESERVE: a picture larger than memory plus swap still maps; only the few pages
  // written to (row 0) ever need private copies.
  void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_NORESERVE, fd, 0);
  if (address == MAP_FAILED) return false;
  data_ = static_cast<uint8_t*>(address);
  size_ = size;
  return true;
}

void MappedFile::Unmap() {
  if (data_ != nullptr) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace pixorale
