#pragma once

#include <ostream>

namespace pixorale::cli {

// The converter's standard streams, passed in so that it runs in-process under tests.
struct CliStreams {
  std::ostream& out;
  std::ostream& err;
  // Progress lines are drawn only on a terminal.
  bool errIsTerminal = false;
};

}  // namespace pixorale::cli
