#pragma once

#include <cstddef>
#include <ostream>

namespace pixorale::cli {

// "pixorale-convert: 12/200 converted" on one terminal line, rewritten in place. The caller
// serialises the calls.
class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool enabled, size_t total)
      : out_(out), enabled_(enabled), total_(total) {}

  void Show(size_t done);
  // Wipes the line, so that an error line or the shell's prompt starts clean.
  void Clear();

 private:
  std::ostream& out_;
  bool enabled_;
  size_t total_;
  bool shown_ = false;
};

}  // namespace pixorale::cli
