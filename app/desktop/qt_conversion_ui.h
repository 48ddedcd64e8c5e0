#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/conversion_ui.h"

class QFileDialog;
class QMessageBox;

namespace pixorale {

// The run's prompts as Qt dialogs. They have no owner and are application-modal, so while
// one is open no other command can start a second run on the same song and image.
class QtConversionUi final : public ConversionUi {
 public:
  std::optional<std::string> PromptOpenFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
};

// The dialogs as the prompts set them up, for the prompts and for checking them.
void ConfigureOpenDialog(QFileDialog& dialog, const FileFilter& filter,
                         std::string_view defaultExtension);
void ConfigureSaveDialog(QFileDialog& dialog, const FileFilter& filter,
                         std::string_view defaultExtension);
void ConfigureMessageBox(QMessageBox& box, std::string_view text, std::string_view caption);

}  // namespace pixorale
