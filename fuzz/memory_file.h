#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pixorale::fuzz {

// An anonymous in-memory file with a path, so that the code under test opens it by name
// like any other file without the fuzzer touching the disk.
class MemoryFile {
 public:
  MemoryFile();
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Makes the file hold exactly these bytes.
  void Replace(const uint8_t* data, size_t size);
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace pixorale::fuzz
