#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pixorale {

// A file-type filter of the file prompts: the text shown and the pattern it stands for.
struct FileFilter {
  std::string_view displayName;
  std::string_view pattern;
};

// The prompts a conversion run needs from a user interface. The desktop programs show
// dialogs, the command-line converter answers from its options, tests answer from a script.
class ConversionUi {
 public:
  virtual ~ConversionUi() = default;

  // The path of a file to open, or nothing when the user cancelled.
  virtual std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                                    std::string_view defaultExtension) = 0;
  // The path to save to, or nothing when the user cancelled.
  virtual std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                                    std::string_view defaultExtension) = 0;
  // A message with an OK button only; returns when the user has closed it.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};

}  // namespace pixorale
