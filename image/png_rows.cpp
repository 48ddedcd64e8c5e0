#include "image/png_rows.h"

#include <spng.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

namespace pixorale {
namespace {

// Deflate cannot shrink data by more than about 1032 to 1: a header whose one row needs
// more than that much of the whole file is refused before any row is allocated.
constexpr uint64_t kDeflateMaxRatio = 1032;
constexpr uint64_t kClaimSlack = 64 * 1024;
// Ancillary chunks (text, profiles) are skipped past this size rather than held.
constexpr size_t kChunkLimit = 64 * 1024 * 1024;

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// libspng asks for a few bytes at a time; a buffer spares a read call for each.
class BufferedReader {
 public:
  explicit BufferedReader(ByteSource& source) : source_(source) {}

  static int Read(spng_ctx*, void* user, void* dest, size_t length) {
    return static_cast<BufferedReader*>(user)->Fill(static_cast<uint8_t*>(dest), length);
  }

 private:
  int Fill(uint8_t* dest, size_t length) {
    while (length > 0) {
      if (next_ == end_) {
        const int64_t got = source_.Read(buffer_);
        if (got < 0) return SPNG_IO_ERROR;
        if (got == 0) return SPNG_IO_EOF;
        next_ = 0;
        end_ = static_cast<size_t>(got);
      }
      const size_t count = std::min(length, end_ - next_);
      std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(next_), count, dest);
      next_ += count;
      dest += count;
      length -= count;
    }
    return 0;
  }

  ByteSource& source_;
  std::array<uint8_t, 64 * 1024> buffer_{};
  size_t next_ = 0;
  size_t end_ = 0;
};

uint64_t StoredRowBytes(const spng_ihdr& header) {
  unsigned channels = 1;
  switch (header.color_type) {
    case SPNG_COLOR_TYPE_TRUECOLOR:
      channels = 3;
      break;
    case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
      channels = 2;
      break;
    case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
      channels = 4;
      break;
    default:
      break;
  }
  return (uint64_t{header.width} * channels * header.bit_depth + 7) / 8;
}

void ToBlueGreenRed8(const std::vector<uint8_t>& rgb, std::vector<uint8_t>& row) {
  for (size_t i = 0; i + 2 < row.size(); i += 3) {
    row[i] = rgb[i + 2];
    row[i + 1] = rgb[i + 1];
    row[i + 2] = rgb[i];
  }
}

// 16-bit samples are reduced as a 24-bit BMP writer reduces them: to the nearest 8-bit value.
void ToBlueGreenRed16(const std::vector<uint16_t>& rgba, std::vector<uint8_t>& row) {
  const auto reduce = [](uint16_t v) { return static_cast<uint8_t>((uint32_t{v} + 128) / 257); };
  for (size_t p = 0; 3 * p + 2 < row.size(); ++p) {
    row[3 * p] = reduce(rgba[4 * p + 2]);
    row[3 * p + 1] = reduce(rgba[4 * p + 1]);
    row[3 * p + 2] = reduce(rgba[4 * p]);
  }
}

// Adam7: the first column of each pass and the distance between its columns.
constexpr std::array<uint32_t, 7> kPassFirstColumn = {0, 4, 0, 2, 0, 1, 0};
constexpr std::array<uint32_t, 7> kPassColumnStep = {8, 8, 4, 4, 2, 2, 1};

// The pixels a decoded row received: all of them, or those of its interlace pass.
void Summarize(const spng_row_info& info, bool interlaced, std::span<const uint8_t> row,
               PixelLayout layout, PictureSummary& summary) {
  const auto pass = static_cast<size_t>(info.pass);
  if (!interlaced || pass >= kPassFirstColumn.size()) {
    summary.AddRow(info.row_num, row, layout);
  } else {
    summary.AddPixels(info.row_num, row, layout, kPassFirstColumn[pass], kPassColumnStep[pass]);
  }
}

PictureLoad Failure(int code) {
  PictureLoad load = PictureFailure(PictureFormat::kPng, PictureStep::kDecode, spng_strerror(code));
  load.spngError = code;
  return load;
}

PictureLoad Refusal(PictureStep step, std::string detail) {
  return PictureFailure(PictureFormat::kPng, step, std::move(detail));
}

// Checks the header against the file's size and the limits, before any row is allocated.
PictureLoad CheckHeader(const spng_ihdr& header, uint64_t fileSize, const DecodeLimits& limits) {
  if (StoredRowBytes(header) > kDeflateMaxRatio * fileSize + kClaimSlack) {
    return Refusal(PictureStep::kHeader,
                   "the header claims more pixel data than the file can hold");
  }
  if (header.width > limits.maxColumns) {
    return TooManyColumns(PictureFormat::kPng, header.width, limits.maxColumns);
  }
  if (uint64_t{header.width} * header.height > limits.maxPngPixels) {
    return TooManyPixels(PictureFormat::kPng, header.width, header.height, limits.maxPngPixels);
  }
  // Three rows are held: the two kept and one for all the others.
  const uint64_t heldBytes = 3 * uint64_t{header.width} * (header.bit_depth == 16 ? 8 : 3);
  if (heldBytes > limits.memoryBytes) {
    return Refusal(PictureStep::kMemory,
                   "rows too wide to decode (" + std::to_string(header.width) + " pixels)");
  }
  return {};
}

}  // namespace

PictureLoad DecodePngRows(ByteSource& source, BitmapImage& image, const DecodeLimits& limits) {
  image.FreeBitmap();
  const std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(0));
  if (!context) return Failure(SPNG_EMEM);
  spng_ctx* png = context.get();
  BufferedReader reader(source);
  int code = spng_set_png_stream(png, &BufferedReader::Read, &reader);
  if (code == 0) code = spng_set_chunk_limits(png, kChunkLimit, kChunkLimit);
  spng_ihdr header{};
  if (code == 0) code = spng_get_ihdr(png, &header);
  if (code != 0) return Failure(code);
  if (PictureLoad refused = CheckHeader(header, source.Size(), limits); !refused.ok()) {
    return refused;
  }

  const bool wide = header.bit_depth == 16;
  const int format = wide ? SPNG_FMT_RGBA16 : SPNG_FMT_RGB8;
  code = spng_decode_image(png, nullptr, 0, format, SPNG_DECODE_PROGRESSIVE);
  if (code != 0) return Failure(code);

  const uint32_t width = header.width;
  const uint32_t height = header.height;
  const size_t pixels = width;
  // Interlaced pictures deliver a row once per pass, each pass adding its pixels to the
  // same row, so each of the two rows kept has its own buffer for the whole decode.
  std::vector<uint8_t> pitch8, step8, scratch8;
  std::vector<uint16_t> pitch16, step16, scratch16;
  if (wide) {
    pitch16.resize(pixels * 4);
    step16.resize(pixels * 4);
    scratch16.resize(pixels * 4);
  } else {
    pitch8.resize(pixels * 3);
    step8.resize(pixels * 3);
    scratch8.resize(pixels * 3);
  }
  const uint32_t pitchFromTop = PitchRowFromTop(height);
  const uint32_t stepFromTop = StepRowFromTop(height);
  PictureSummary summary;
  std::vector<uint8_t> summaryRow;  // a 16-bit row brought to 8 bits for the summary
  const bool interlaced = header.interlace_method != SPNG_INTERLACE_NONE;
  if (limits.summarize) {
    summary.Begin(width, height, width, height);
    if (wide) summaryRow.resize(pixels * 3);
  }

  do {
    spng_row_info info{};
    code = spng_get_row_info(png, &info);
    if (code != 0) break;
    const bool isPitch = info.row_num == pitchFromTop;
    const bool isStep = info.row_num == stepFromTop;
    if (wide) {
      std::vector<uint16_t>& out = isPitch ? pitch16 : isStep ? step16 : scratch16;
      code = spng_decode_row(png, out.data(), out.size() * sizeof(uint16_t));
      if ((code == 0 || code == SPNG_EOI) && limits.summarize) {
        ToBlueGreenRed16(out, summaryRow);
        Summarize(info, interlaced, summaryRow, kBlueGreenRed, summary);
      }
    } else {
      std::vector<uint8_t>& out = isPitch ? pitch8 : isStep ? step8 : scratch8;
      code = spng_decode_row(png, out.data(), out.size());
      if ((code == 0 || code == SPNG_EOI) && limits.summarize) {
        Summarize(info, interlaced, out, kRedGreenBlue, summary);
      }
    }
  } while (code == 0);
  if (code != SPNG_EOI) return Failure(code);
  // The rest of the file up to the end chunk: the last chunk of rows has its checksum checked
  // only here, and a file without its end chunk is cut short.
  code = spng_decode_chunks(png);
  if (code == SPNG_IO_EOF) {
    PictureLoad load = Failure(code);
    load.detail = "the file ends before its end chunk";
    return load;
  }
  if (code != 0) return Failure(code);

  std::vector<uint8_t> pitchRow(pixels * 3);
  std::vector<uint8_t> stepRow(pixels * 3);
  // A picture one row high has a single row for both roles.
  const bool sameRow = pitchFromTop == stepFromTop;
  if (wide) {
    ToBlueGreenRed16(pitch16, pitchRow);
    ToBlueGreenRed16(sameRow ? pitch16 : step16, stepRow);
  } else {
    ToBlueGreenRed8(pitch8, pitchRow);
    ToBlueGreenRed8(sameRow ? pitch8 : step8, stepRow);
  }
  image.AdoptRows24(width, height, std::move(pitchRow), std::move(stepRow));
  image.summary = std::move(summary);
  return PictureLoaded(PictureFormat::kPng);
}

}  // namespace pixorale
