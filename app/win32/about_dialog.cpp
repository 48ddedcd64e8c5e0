#include "app/win32/about_dialog.h"

#include "app/resource_ids.h"
#include "app/win32/dialog_procedure.h"

namespace pixorale {

void AboutDialog::Run(HWND owner) {
  RunModalDialog(owner, IDD_ABOUT, *this);
}

INT_PTR AboutDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  return FALSE;
}

}  // namespace pixorale
