#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>

#include "image/bitmap_image.h"
#include "io/file_descriptor.h"

namespace pixorale {
namespace {

// The classic layout: a 14-byte file header and a 40-byte info header.
constexpr uint64_t kHeaderSize = 54;
constexpr uint64_t kPixelOffsetField = 10;
constexpr uint64_t kWidthField = 18;
constexpr uint64_t kHeightField = 22;
constexpr uint64_t kBitCountField = 28;

// A file cut short gets a zero-filled copy of the size its header claims. The claim may be
// at most twice the pixel bytes present plus this much, so that copy is never much larger
// than the file; a header claiming more is refused before anything is allocated.
constexpr uint64_t kClaimSlack = 64 * 1024;

// Reads up to `size` bytes at `offset`; the count that arrived, or -1 on a read error.
int64_t ReadAt(int fd, uint8_t* out, uint64_t size, uint64_t offset) {
  uint64_t done = 0;
  while (done < size) {
    const ssize_t got = pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<uint64_t>(got);
  }
  return static_cast<int64_t>(done);
}

uint32_t LittleEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

// A negative height marks a top-down file; the row count is its magnitude. Unsigned
// negation keeps INT32_MIN (2^31 rows) from overflowing.
uint32_t RowCount(uint32_t rawHeight) {
  return (rawHeight & 0x80000000u) != 0 ? 0u - rawHeight : rawHeight;
}

}  // namespace

BmpLoadResult BitmapImage::LoadBitmapFile(const std::string& path) {
  FreeBitmap();

  // Non-blocking so that a FIFO cannot hang the open; only regular files are read.
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat status {};
  if (file.get() < 0 || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return BmpLoadResult::kCannotOpen;
  }
  const uint64_t fileSize = static_cast<uint64_t>(status.st_size);

  std::array<uint8_t, kHeaderSize> bytes{};
  const uint8_t* header = bytes.data();
  const int64_t got = ReadAt(file.get(), bytes.data(), kHeaderSize, 0);
  if (got < 0) return BmpLoadResult::kCannotOpen;
  const uint64_t headerBytes = static_cast<uint64_t>(got);

  // A header cut short: the uninterpreted bytes that are there are kept, and a field is
  // taken only when all of its bytes are there, so the others keep their empty value.
  const auto keepScratch = [&](uint64_t fileOffset, size_t scratchOffset, uint64_t size) {
    const uint64_t end = std::min(fileOffset + size, headerBytes);
    if (end > fileOffset) {
      std::copy(header + fileOffset, header + end, headerScratch.begin() + scratchOffset);
    }
  };
  const auto has = [&](uint64_t fileOffset, uint64_t size) {
    return headerBytes >= fileOffset + size;
  };
  keepScratch(0, 0, 18);
  if (has(kWidthField, 4)) width = LittleEndian(header + kWidthField, 4);
  if (has(kHeightField, 4)) height = RowCount(LittleEndian(header + kHeightField, 4));
  keepScratch(26, 18, 2);
  if (has(kBitCountField, 2)) {
    bitCount = static_cast<uint16_t>(LittleEndian(header + kBitCountField, 2));
  }
  keepScratch(30, 20, 24);

  // Nothing reads the rows of other bit counts: the caller refuses them on bitCount.
  if (bitCount != 24 || width == 0 || height == 0) return BmpLoadResult::kLoaded;

  // Larger info headers put the pixels further on; an offset that cannot be right falls
  // back to the classic place.
  uint64_t pixelOffset = LittleEndian(header + kPixelOffsetField, 4);
  if (pixelOffset < kHeaderSize || pixelOffset > fileSize) pixelOffset = kHeaderSize;
  const uint64_t present = fileSize > pixelOffset ? fileSize - pixelOffset : 0;

  // Rows are padded to a multiple of four bytes. All sizes in 64 bits: width * 3 needs 34.
  const uint64_t rowBytes = uint64_t{width} * 3;
  const uint64_t stride = (rowBytes + 3) & ~uint64_t{3};
  // stride * height can pass 64 bits, so compare by division before multiplying.
  const uint64_t claimLimit = 2 * present + kClaimSlack;
  if (stride > claimLimit / height) {
    FreeBitmap();
    return BmpLoadResult::kClaimsTooMuch;
  }
  const uint64_t claimed = stride * height;
  const uint64_t spanned = claimed - (stride - rowBytes);  // the last row needs no padding

  if (present >= spanned) {
    // Every row is in the file: map it rather than copy, so rows nobody reads cost nothing.
    if (!mapping_.Map(file.get(), static_cast<size_t>(fileSize))) {
      FreeBitmap();
      return BmpLoadResult::kCannotOpen;
    }
    pixels_ = mapping_.Bytes().data() + pixelOffset;
  } else {
    try {
      ownedPixels_.assign(static_cast<size_t>(claimed), 0);
    } catch (const std::bad_alloc&) {
      FreeBitmap();
      return BmpLoadResult::kCannotOpen;
    }
    if (ReadAt(file.get(), ownedPixels_.data(), present, pixelOffset) < 0) {
      FreeBitmap();
      return BmpLoadResult::kCannotOpen;
    }
    pixels_ = ownedPixels_.data();
  }
  rowStride_ = stride;
  return BmpLoadResult::kLoaded;
}

}  // namespace pixorale
