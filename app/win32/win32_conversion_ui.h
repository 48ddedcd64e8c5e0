#pragma once

#include "app/conversion_ui.h"

namespace pixorale {

// The conversion run's prompts as the platform's own dialogs: the common open and save
// dialogs and a message box. None has an owner window, so the main window stays enabled
// while they are open.
class Win32ConversionUi final : public ConversionUi {
 public:
  std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
};

}  // namespace pixorale
