#include "app/conversion_commands.h"

#include <optional>

#include "app/bmp_extension.h"
#include "app/ui_texts.h"

namespace pixorale {
namespace {

// Marks a run in progress for as long as it lasts.
class ConvertingFlag {
 public:
  explicit ConvertingFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ConvertingFlag() { flag_ = false; }
  ConvertingFlag(const ConvertingFlag&) = delete;
  ConvertingFlag& operator=(const ConvertingFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void ConversionCommands::OpenPicture() {
  if (converting_) return;
  const std::optional<std::string> path =
      ui_.PromptOpenFile(texts::kBmpFilter, texts::kBmpExtension);
  if (path) Convert(*path);
}

void ConversionCommands::ConvertDroppedFile(const std::string& path) {
  if (HasBmpExtension(path)) Convert(path);
}

void ConversionCommands::ConvertCommandLine(std::string_view tail) {
  if (HasBmpExtension(tail)) Convert(tail);
}

void ConversionCommands::Convert(std::string_view path) {
  if (converting_) return;
  const ConvertingFlag flag(converting_);
  RunConversion(path, state_, bits_, picture_, save_);
}

}  // namespace pixorale
