#pragma once

#include <cstdint>
#include <span>

namespace pixorale {

// A file's bytes read front to back, for the decoders: a file on disk in the program, a
// buffer in tests and fuzzers.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `out` as far as the source reaches: the count read, 0 at the end, -1 on an error.
  virtual int64_t Read(std::span<uint8_t> out) = 0;
  // The whole size, so that decoders can refuse headers that claim far more than it holds.
  virtual uint64_t Size() const = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  int64_t Read(std::span<uint8_t> out) override;
  uint64_t Size() const override { return bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace pixorale
