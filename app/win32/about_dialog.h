#pragma once

#include <windows.h>

namespace pixorale {

// The About box, template 103: the icon, the name and the version. Only its OK button (or
// Enter) closes it; it has no close button and Escape does nothing.
class AboutDialog {
 public:
  void Run(HWND owner);
  INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace pixorale
