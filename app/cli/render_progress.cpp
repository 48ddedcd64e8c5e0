#include "app/cli/render_progress.h"

#include "app/converter/program_name.h"

namespace pixorale::cli {

void RenderProgress::Show(const std::string& path, double done) {
  if (done < 0.0) {
    Clear();
    return;
  }
  const int percent = static_cast<int>(done * 100.0);
  if (!enabled_ || percent == shownPercent_) return;
  shownPercent_ = percent;
  out_ << "\r" << converter::kMessagePrefix << path << ": rendering " << percent << "%\x1b[K"
       << std::flush;
}

void RenderProgress::Clear() {
  if (!enabled_ || shownPercent_ < 0) return;
  out_ << "\r\x1b[K" << std::flush;
  shownPercent_ = -1;
}

}  // namespace pixorale::cli
