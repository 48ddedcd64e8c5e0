#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <streambuf>

#include "io/atomic_file.h"

namespace pixorale {
namespace {

// Large enough that a multi-megabyte song costs a few dozen system calls.
constexpr size_t kStreamBufferSize = 256 * 1024;
constexpr size_t kLargestWrite = size_t{1} << 30;

// An output stream buffer over a file descriptor that remembers the first failed write and
// its error number, so that a full disk or an I/O error surfaces as a failed stream.
class DescriptorStreamBuf : public std::streambuf {
 public:
  // The buffer is left uninitialised: zeroing 256 KB cost more than writing a small song.
  explicit DescriptorStreamBuf(int fd)
      : fd_(fd), buffer_(std::make_unique<char[]>(kStreamBufferSize)) {
    ResetBuffer();
  }

  int error() const { return error_; }
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
      // Windows counts the bytes of one write in an unsigned int: larger blocks go in parts.
      const auto part = static_cast<unsigned>(std::min<size_t>(size, kLargestWrite));
      const auto written = ::write(fd_, data, part);
      if (written < 0) {
        if (errno != EINTR) {
          failed_ = true;
          error_ = errno;
        }
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
  int error_ = 0;
};

}  // namespace

IoResult WriteToDescriptor(int fd, const WriteBody& writeBody) {
  DescriptorStreamBuf buffer(fd);
  std::ostream out(&buffer);
  const bool bodyDone = writeBody(out);
  out.flush();
  if (buffer.failed()) return IoResult::Failure(IoStep::kWrite, buffer.error());
  if (!bodyDone || out.fail()) return IoResult::Failure(IoStep::kBody, 0);
  return {};
}

}  // namespace pixorale
