#include "app/command_line.h"

#include "app/ui_texts.h"

namespace pixorale {

std::string CommandLineTail(int argc, const char* const* argv) {
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return tail;
}

std::optional<int> AnswerInformationRequest(std::string_view tail, std::ostream& out) {
  if (tail == "--version") {
    out << texts::kVersion << '\n';
    return 0;
  }
  if (tail == "--help") {
    out << texts::kDesktopUsage;
    return 0;
  }
  return std::nullopt;
}

}  // namespace pixorale
