#pragma once

#include <string>

#include "io/io_result.h"

namespace pixorale {

// How making a file of a song went: empty `error` on success; otherwise one line, and `io`
// holds the failed file step when the file itself could not be written.
struct RenderResult {
  std::string error;
  IoResult io;
  bool ok() const { return error.empty(); }
};

}  // namespace pixorale
