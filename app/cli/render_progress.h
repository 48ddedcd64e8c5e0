#pragma once

#include <ostream>
#include <string>

namespace pixorale::cli {

// "pixorale-convert: song.wav: rendering 42%" on one terminal line, rewritten as a long
// render goes on and wiped at its end. Silent when not enabled.
class RenderProgress {
 public:
  RenderProgress(std::ostream& out, bool enabled, std::string path)
      : out_(out), enabled_(enabled), path_(std::move(path)) {}

  // `done` is the part rendered, 0 to 1.
  void Show(double done);
  void Clear();

 private:
  std::ostream& out_;
  bool enabled_;
  std::string path_;
  int shownPercent_ = -1;
};

}  // namespace pixorale::cli
