#include <algorithm>
#include <array>
#include <cerrno>
#include <new>

#include "image/bitmap_image.h"
#include "io/read_only_file.h"

namespace pixorale {
namespace {

// The classic layout: a 14-byte file header and a 40-byte info header.
constexpr uint64_t kHeaderSize = 54;
constexpr uint64_t kPixelOffsetField = 10;
constexpr uint64_t kWidthField = 18;
constexpr uint64_t kHeightField = 22;
constexpr uint64_t kBitCountField = 28;

// A header may claim at most twice the pixel bytes present plus this much; a larger claim
// is refused before anything is allocated, so a few bytes cannot ask for gigabytes.
constexpr uint64_t kClaimSlack = 64 * 1024;

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

// One row read from the file. Bytes the file no longer holds (cut short, or shortened by
// another process while it is read) stay zero.
bool ReadRow(ReadOnlyFile& file, uint64_t offset, std::vector<uint8_t>& row) {
  return file.ReadAt(offset, row) >= 0;
}

// A 32-bit row (blue, green, red and a fourth byte per pixel) becomes the 24-bit row of the
// same pixels, in place.
void DropFourthBytes(std::vector<uint8_t>& row) {
  const size_t pixels = row.size() / 4;
  for (size_t p = 0; p < pixels; ++p) {
    for (size_t byte = 0; byte < 3; ++byte) row[3 * p + byte] = row[4 * p + byte];
  }
  row.resize(pixels * 3);
}

// Every row of the file into the summary, a few rows per read; rows the file no longer
// holds count as black, as the kept rows do.
bool SummarizeRows(ReadOnlyFile& file, uint64_t pixelOffset, uint64_t stride, uint32_t width,
                   uint32_t height, bool topDown, bool thirtyTwo, PictureSummary& summary) {
  summary.Begin(width, height, width, height);
  constexpr uint64_t kChunkBytes = 256 * 1024;
  const uint64_t rowsPerRead = std::max<uint64_t>(1, kChunkBytes / stride);
  std::vector<uint8_t> chunk;
  const PixelLayout layout = thirtyTwo ? PixelLayout{4, 2, 1, 0} : kBlueGreenRed;
  for (uint64_t first = 0; first < height; first += rowsPerRead) {
    const uint64_t count = std::min<uint64_t>(rowsPerRead, height - first);
    const uint64_t chunkBytes = count * stride;
    chunk.assign(static_cast<size_t>(chunkBytes), 0);
    if (file.ReadAt(pixelOffset + first * stride, chunk) < 0) return false;
    for (uint64_t r = 0; r < count; ++r) {
      const auto fileRow = static_cast<uint32_t>(first + r);
      const uint32_t fromTop = topDown ? fileRow : height - 1 - fileRow;
      const uint64_t rowStart = r * stride;
      summary.AddRow(fromTop,
                     std::span<const uint8_t>(chunk).subspan(static_cast<size_t>(rowStart),
                                                             size_t{width} * layout.bytesPerPixel),
                     layout);
    }
  }
  return true;
}

PictureLoad ReadFailure(int error) {
  return PictureIoFailure(PictureFormat::kOther, IoResult::Failure(IoStep::kRead, error));
}

}  // namespace

PictureLoad BitmapImage::LoadBitmapFile(const std::string& path) {
  FreeBitmap();
  ReadOnlyFile file;
  if (const IoResult opened = file.Open(path); !opened) {
    return PictureIoFailure(PictureFormat::kOther, opened);
  }
  return LoadBitmapFile(file);
}

PictureLoad BitmapImage::LoadBitmapFile(ReadOnlyFile& file, uint32_t maxColumns, BmpDepths depths,
                                        bool summarize) {
  FreeBitmap();
  const uint64_t fileSize = file.Size();

  std::array<uint8_t, kHeaderSize> bytes{};
  const uint8_t* header = bytes.data();
  const int64_t got = file.ReadAt(0, bytes);
  if (got < 0) return ReadFailure(file.LastError());
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
  const uint32_t rawHeight = has(kHeightField, 4) ? LittleEndian(header + kHeightField, 4) : 0;
  height = RowCount(rawHeight);
  const bool topDown = (rawHeight & 0x80000000u) != 0;
  keepScratch(26, 18, 2);
  if (has(kBitCountField, 2)) {
    bitCount = static_cast<uint16_t>(LittleEndian(header + kBitCountField, 2));
  }
  keepScratch(30, 20, 24);

  // Nothing reads the rows of other bit counts: the caller refuses them on bitCount.
  const bool thirtyTwo = bitCount == 32 && depths == BmpDepths::k24And32;
  if ((bitCount != 24 && !thirtyTwo) || width == 0 || height == 0) return {};

  // Larger info headers put the pixels further on; an offset that cannot be right falls
  // back to the classic place.
  uint64_t pixelOffset = LittleEndian(header + kPixelOffsetField, 4);
  if (pixelOffset < kHeaderSize || pixelOffset > fileSize) pixelOffset = kHeaderSize;
  const uint64_t present = fileSize > pixelOffset ? fileSize - pixelOffset : 0;

  // Rows are padded to a multiple of four bytes. All sizes in 64 bits: width * 4 needs 34.
  const uint64_t rowBytes = uint64_t{width} * (thirtyTwo ? 4 : 3);
  const uint64_t stride = (rowBytes + 3) & ~uint64_t{3};
  // stride * height can pass 64 bits, so compare by division before multiplying.
  if (stride > (2 * present + kClaimSlack) / height) {
    FreeBitmap();
    return PictureFailure(PictureFormat::kOther, PictureStep::kHeader,
                          "the header claims more pixel data than the file holds");
  }
  if (width > maxColumns) {
    const uint32_t columns = width;
    FreeBitmap();
    return TooManyColumns(PictureFormat::kOther, columns, maxColumns);
  }

  const uint32_t middle = height / 2;
  std::vector<uint8_t> firstRow;
  std::vector<uint8_t> middleRow;
  try {
    firstRow.assign(static_cast<size_t>(rowBytes), 0);
    if (middle != 0) middleRow.assign(static_cast<size_t>(rowBytes), 0);
  } catch (const std::bad_alloc&) {
    FreeBitmap();
    return ReadFailure(ENOMEM);
  }
  if (!ReadRow(file, pixelOffset, firstRow) ||
      (middle != 0 && !ReadRow(file, pixelOffset + middle * stride, middleRow))) {
    const int error = file.LastError();
    FreeBitmap();
    return ReadFailure(error);
  }
  PictureSummary wholePicture;
  if (summarize &&
      !SummarizeRows(file, pixelOffset, stride, width, height, topDown, thirtyTwo, wholePicture)) {
    const int error = file.LastError();
    FreeBitmap();
    return ReadFailure(error);
  }
  if (thirtyTwo) {
    DropFourthBytes(firstRow);
    DropFourthBytes(middleRow);
  }
  AdoptRows24(width, height, std::move(firstRow), std::move(middleRow));
  firstRowOnTop = topDown;
  summary = std::move(wholePicture);
  // The claim check above keeps stride * height within 64 bits; the last row needs no
  // padding.
  PictureLoad load;
  const uint64_t described = stride * (height - 1) + rowBytes;
  load.missingBytes = described > present ? described - present : 0;
  return load;
}

}  // namespace pixorale
