#include "app/cli/progress_line.h"

namespace pixorale::cli {
namespace {

// Carriage return, then the terminal's erase to the end of the line.
constexpr const char* kWipeLine = "\r\x1b[K";

}  // namespace

void ProgressLine::Show(size_t done) {
  if (!enabled_) return;
  out_ << kWipeLine << "pixorale-convert: " << done << '/' << total_ << " converted" << std::flush;
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  out_ << kWipeLine << std::flush;
  shown_ = false;
}

}  // namespace pixorale::cli
