#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pixorale {

// A whole file mapped copy-on-write: pages are read only when touched, and writes stay
// private to this process. Move-only; unmaps on destruction.
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the open descriptor's first `size` bytes. False when the mapping failed.
  bool Map(int fd, size_t size);
  std::span<uint8_t> Bytes() const { return {data_, size_}; }

 private:
  void Unmap();

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace pixorale
