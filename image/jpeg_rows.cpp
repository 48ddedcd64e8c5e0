#include "image/jpeg_rows.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace pixorale {
namespace {

constexpr size_t kInputBufferSize = 64 * 1024;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct KeptRows {
  std::vector<uint8_t> pitch;
  std::vector<uint8_t> step;
  std::vector<uint8_t> scratch;  // the rows between them, when every row is read
  PictureSummary summary;
};

struct SourceManager {
  jpeg_source_mgr pub;
  ByteSource* source;
  JOCTET buffer[kInputBufferSize];
};

// Warnings that lose no pixels: odd bytes between markers and unknown or bad metadata.
bool IsHarmlessWarning(int code) {
  return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC ||
         code == JWRN_ADOBE_XFORM;
}

[[noreturn]] void ExitWithMessage(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->pub.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// A damaged or cut-short file is refused rather than decoded with grey blocks filled in.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0 && !IsHarmlessWarning(info->err->msg_code)) ExitWithMessage(info);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* input = reinterpret_cast<SourceManager*>(info->src);
  const int64_t got = input->source->Read(std::span<uint8_t>(input->buffer, kInputBufferSize));
  if (got < 0) ERREXIT(info, JERR_FILE_READ);
  if (got == 0) {
    // The usual answer to a file that ends early: an end-of-image marker, and a warning,
    // which EmitMessage turns into the error.
    WARNMS(info, JWRN_JPEG_EOF);
    input->buffer[0] = 0xFF;
    input->buffer[1] = JPEG_EOI;
    input->pub.next_input_byte = input->buffer;
    input->pub.bytes_in_buffer = 2;
    return TRUE;
  }
  input->pub.next_input_byte = input->buffer;
  input->pub.bytes_in_buffer = static_cast<size_t>(got);
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  jpeg_source_mgr* input = info->src;
  if (count <= 0) return;
  auto remaining = static_cast<size_t>(count);
  while (remaining > input->bytes_in_buffer) {
    remaining -= input->bytes_in_buffer;
    FillInputBuffer(info);
  }
  input->next_input_byte += remaining;
  input->bytes_in_buffer -= remaining;
}

void ReadOneRow(jpeg_decompress_struct& info, std::vector<uint8_t>& row, uint32_t fromTop) {
  if (fromTop > info.output_scanline) jpeg_skip_scanlines(&info, fromTop - info.output_scanline);
  JSAMPROW rows[1] = {row.data()};
  jpeg_read_scanlines(&info, rows, 1);
}

// The reduced size a summary reads a picture at: the smallest of 1/8, 1/4, 1/2 and 1 that
// still gives the summary its full grid. At 1/8 each 8 x 8 block is its mean, read from the
// block's first coefficient without the inverse transform.
unsigned SummaryScaleEighths(uint32_t width, uint32_t height) {
  for (const unsigned eighths : {1u, 2u, 4u}) {
    if (uint64_t{width} * eighths / 8 >= kSummaryColumns &&
        uint64_t{height} * eighths / 8 >= kSummaryRows) {
      return eighths;
    }
  }
  return 8;
}

// Every row into the summary, keeping the two rows a conversion reads on the way.
// Like the callbacks, it owns nothing that a jump out of libjpeg would leave behind.
void ReadAllRows(jpeg_decompress_struct& info, KeptRows& rows) {
  const uint32_t height = info.output_height;
  const uint32_t stepFromTop = StepRowFromTop(height);
  const uint32_t pitchFromTop = PitchRowFromTop(height);
  rows.scratch.resize(rows.pitch.size());
  while (info.output_scanline < height) {
    const uint32_t fromTop = info.output_scanline;
    std::vector<uint8_t>& out = fromTop == pitchFromTop  ? rows.pitch
                                : fromTop == stepFromTop ? rows.step
                                                         : rows.scratch;
    JSAMPROW row[1] = {out.data()};
    jpeg_read_scanlines(&info, row, 1);
    rows.summary.AddRow(fromTop, out, kBlueGreenRed);
  }
  if (pitchFromTop == stepFromTop) rows.step = rows.pitch;
}

// What holding the whole picture's coefficients costs, which a progressive or multi-scan
// picture needs: each component's blocks, rounded up to whole sampling units, of 64
// two-byte coefficients.
uint64_t CoefficientBytes(const jpeg_decompress_struct& info) {
  uint64_t bytes = 0;
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    const auto roundUp = [](uint64_t value, uint64_t unit) {
      return unit == 0 ? value : (value + unit - 1) / unit * unit;
    };
    bytes += roundUp(component.width_in_blocks, static_cast<uint64_t>(component.h_samp_factor)) *
             roundUp(component.height_in_blocks, static_cast<uint64_t>(component.v_samp_factor)) *
             sizeof(JBLOCK);
  }
  return bytes;
}

std::string Mebibytes(uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

// The picture is too large for the memory limit: by how much, when the coefficients alone
// pass it (the rest of the decoder's memory is small beside them).
std::string TooMuchMemory(const jpeg_decompress_struct& info, uint64_t limit) {
  const std::string size =
      std::to_string(info.image_width) + " x " + std::to_string(info.image_height);
  const uint64_t needed = CoefficientBytes(info);
  if (needed <= limit) {
    return "too large to decode: " + size + " needs more memory than the limit of " +
           Mebibytes(limit);
  }
  return "too large to decode: " + size + " needs " + Mebibytes(needed) + ", " +
         Mebibytes(needed - limit) + " over the limit of " + Mebibytes(limit);
}

}  // namespace

PictureLoad DecodeJpegRows(ByteSource& source, BitmapImage& image, const DecodeLimits& limits) {
  image.FreeBitmap();

  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ExitWithMessage;
  errors.pub.emit_message = EmitMessage;
  errors.message[0] = '\0';
  auto input = std::make_unique<SourceManager>();
  auto rows = std::make_unique<KeptRows>();

  // Everything with a destructor lives in this frame and stays valid across the jump; the
  // frames the jump leaves are libjpeg's and the callbacks above, which own nothing. What
  // changes after setjmp is reached through pointers, so the jump keeps it.
  if (setjmp(errors.jump) != 0) {
    PictureLoad failure =
        PictureFailure(PictureFormat::kJpeg, PictureStep::kDecode, errors.message);
    failure.jpegError = errors.pub.msg_code;
    // Past the memory limit libjpeg asks for a backing store, which this build has not.
    if (failure.jpegError == JERR_NO_BACKING_STORE) {
      failure.failedStep = PictureStep::kMemory;
      failure.detail = TooMuchMemory(info, limits.memoryBytes);
    }
    jpeg_destroy_decompress(&info);
    return failure;
  }
  jpeg_create_decompress(&info);
  // Past the limit libjpeg refuses the picture instead of exhausting memory.
  info.mem->max_memory_to_use = static_cast<long>(limits.memoryBytes);
  input->source = &source;
  input->pub.init_source = InitSource;
  input->pub.fill_input_buffer = FillInputBuffer;
  input->pub.skip_input_data = SkipInputData;
  input->pub.resync_to_restart = jpeg_resync_to_restart;
  input->pub.term_source = TermSource;
  info.src = &input->pub;

  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    jpeg_destroy_decompress(&info);
    return PictureFailure(PictureFormat::kJpeg, PictureStep::kUnsupported,
                          "CMYK pictures are not supported");
  }
  if (info.image_width > limits.maxColumns) {
    jpeg_destroy_decompress(&info);
    return TooManyColumns(PictureFormat::kJpeg, info.image_width, limits.maxColumns);
  }
  info.out_color_space = JCS_EXT_BGR;
  if (limits.summarize) {
    info.scale_num = SummaryScaleEighths(info.image_width, info.image_height);
    info.scale_denom = 8;
  }
  jpeg_start_decompress(&info);

  const uint32_t width = info.output_width;
  const uint32_t height = info.output_height;
  rows->pitch.resize(size_t{width} * 3);
  rows->step.resize(size_t{width} * 3);
  const uint32_t stepFromTop = StepRowFromTop(height);
  const uint32_t pitchFromTop = PitchRowFromTop(height);
  if (limits.summarize) {
    rows->summary.Begin(width, height, info.image_width, info.image_height);
    ReadAllRows(info, *rows);
  } else {
    // The step row lies above the pitch row (the bottom one), so it comes first.
    ReadOneRow(info, rows->step, stepFromTop);
    if (pitchFromTop == stepFromTop) {
      rows->pitch = rows->step;
    } else {
      ReadOneRow(info, rows->pitch, pitchFromTop);
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  image.AdoptRows24(width, height, std::move(rows->pitch), std::move(rows->step));
  image.summary = std::move(rows->summary);
  return PictureLoaded(PictureFormat::kJpeg);
}

}  // namespace pixorale
