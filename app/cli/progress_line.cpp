#include "app/cli/progress_line.h"

#include <cstdio>

#include "app/converter/program_name.h"

namespace pixorale::cli {
namespace {

// Carriage return, then the terminal's erase to the end of the line.
constexpr const char* kWipeLine = "\r\x1b[K";

}  // namespace

void ProgressLine::Show(size_t converted, size_t failed) {
  if (!enabled_) return;
  out_ << kWipeLine << converter::kMessagePrefix << converted << '/' << total_ << " converted";
  if (failed > 0) out_ << ", " << failed << " failed";
  out_ << std::flush;
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  out_ << kWipeLine << std::flush;
  shown_ = false;
}

void ProgressLine::Finish(size_t converted, size_t failed, double seconds) {
  if (!enabled_) return;
  Clear();
  char time[32];
  std::snprintf(time, sizeof time, "%.2f", seconds);
  out_ << converter::kMessagePrefix << converted << " converted, " << failed << " failed in "
       << time << " s\n"
       << std::flush;
}

}  // namespace pixorale::cli
