#pragma once

#include <windows.h>

#include <string>

#include "app/conversion_settings.h"
#include "app/settings_form.h"

namespace pixorale {

// The conversion settings dialog, template 102. The controls show the settings when it
// opens; OK stores them (through the shared settings form) and saves `setting.set` at once;
// Cancel, Escape and the close button change nothing.
class SettingsDialog {
 public:
  explicit SettingsDialog(ConversionSettings& settings) : settings_(settings) {}

  void Run(HWND owner);
  INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void ShowForm(const SettingsForm& form);
  SettingsForm ReadForm() const;
  void StoreAndClose();
  void ChooseRange(bool given);

  std::string ControlText(int id) const;
  void SetControlText(int id, const std::string& text);
  bool IsChecked(int id) const;
  void Check(int id, bool checked);

  ConversionSettings& settings_;
  HWND dialog_ = nullptr;
};

}  // namespace pixorale
