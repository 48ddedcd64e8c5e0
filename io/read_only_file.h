#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/io_result.h"

namespace pixorale {

// A regular file opened for reading at chosen offsets. Only regular files open: a FIFO would
// block the reader and a device has no end, so both are refused without waiting. The data
// is copied out with ordinary reads, so a file that another process shortens meanwhile only
// yields fewer bytes. Move-only; closes on destruction.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  IoResult Open(const std::string& path);
  bool IsOpen() const;
  // The size when the file was opened.
  uint64_t Size() const { return size_; }
  // Reads up to out.size() bytes at `offset`: the count that arrived (short at the end of the
  // file), or -1 on a read error, whose number LastError() then gives.
  int64_t ReadAt(uint64_t offset, std::span<uint8_t> out);
  int LastError() const { return lastError_; }

 private:
  void Close();

  intptr_t handle_ = -1;  // a descriptor, or a platform handle's value
  uint64_t size_ = 0;
  int lastError_ = 0;
};

}  // namespace pixorale
