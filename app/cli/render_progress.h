#pragma once

#include <ostream>
#include <string>

namespace pixorale::cli {

// "pixorale-convert: song.wav: rendering 42%" on one terminal line, rewritten as a long
// render goes on and wiped at its end. Silent when not enabled.
class RenderProgress {
 public:
  RenderProgress(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}

  // `done` is the part of `path` rendered, 0 to 1; below 0 the render has ended.
  void Show(const std::string& path, double done);

 private:
  void Clear();

  std::ostream& out_;
  bool enabled_;
  int shownPercent_ = -1;
};

}  // namespace pixorale::cli
