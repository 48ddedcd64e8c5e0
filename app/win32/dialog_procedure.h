#pragma once

#include <windows.h>

#include "app/win32/callback_guard.h"

namespace pixorale {

// The platform calls a dialog procedure with nothing but the window; the object behind the
// dialog travels as the creation value of DialogBoxParamW, is kept in the dialog's
// DWLP_USER slot at WM_INITDIALOG and found there for every later message. Messages that
// arrive before WM_INITDIALOG (the font, the first sizes) have no object yet and go unhandled.
// Owner must have `INT_PTR HandleMessage(HWND, UINT, WPARAM, LPARAM)`.
template <typename Owner>
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (owner == nullptr) return FALSE;
  const INT_PTR result = GuardCallback(dialog, INT_PTR{FALSE}, [&] {
    return owner->HandleMessage(dialog, message, wParam, lParam);
  });
  if (message == WM_NCDESTROY) SetWindowLongPtrW(dialog, DWLP_USER, 0);
  return result;
}

// Runs the modal dialog from the template with the given id, owned by `owner` (which is
// disabled meanwhile), with `object` handling its messages.
template <typename Object>
INT_PTR RunModalDialog(HWND owner, int templateId, Object& object) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, DialogProcedure<Object>,
                         reinterpret_cast<LPARAM>(&object));
}

}  // namespace pixorale
