#pragma once

#include <cstddef>
#include <ostream>

namespace pixorale::cli {

// "pixorale-convert: 12/200 converted, 1 failed" on one terminal line, rewritten in place,
// and at the end one closing line that stays. Silent when not enabled. The caller
// serialises the calls.
class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool enabled, size_t total)
      : out_(out), enabled_(enabled), total_(total) {}

  void Show(size_t converted, size_t failed);
  // Wipes the line, so that an error line or the shell's prompt starts clean.
  void Clear();
  // "pixorale-convert: 298 converted, 3 failed in 0.51 s", on a line of its own.
  void Finish(size_t converted, size_t failed, double seconds);

 private:
  std::ostream& out_;
  bool enabled_;
  size_t total_;
  bool shown_ = false;
};

}  // namespace pixorale::cli
