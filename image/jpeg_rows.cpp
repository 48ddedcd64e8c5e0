#include "image/jpeg_rows.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

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

}  // namespace

PictureDecode DecodeJpegRows(ByteSource& source, const DecodeLimits& limits) {
  PictureDecode result;
  PictureRows& rows = result.rows;

  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ExitWithMessage;
  errors.pub.emit_message = EmitMessage;
  errors.message[0] = '\0';
  auto input = std::make_unique<SourceManager>();

  // Everything with a destructor lives in this frame and stays valid across the jump; the
  // frames the jump leaves are libjpeg's and the callbacks above, which own nothing.
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    result.rows = PictureRows();
    result.error = std::string("JPEG: ") + errors.message;
    return result;
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
    std::strcpy(errors.message, "CMYK pictures are not supported");
    std::longjmp(errors.jump, 1);
  }
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);

  rows.width = info.output_width;
  rows.height = info.output_height;
  rows.pitchRow.resize(size_t{rows.width} * 3);
  rows.stepRow.resize(size_t{rows.width} * 3);
  const uint32_t stepFromTop = StepRowFromTop(rows.height);
  const uint32_t pitchFromTop = PitchRowFromTop(rows.height);
  // The step row lies above the pitch row (the bottom one), so it comes first.
  ReadOneRow(info, rows.stepRow, stepFromTop);
  if (pitchFromTop == stepFromTop) {
    rows.pitchRow = rows.stepRow;
  } else {
    ReadOneRow(info, rows.pitchRow, pitchFromTop);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return result;
}

}  // namespace pixorale
