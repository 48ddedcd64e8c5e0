#include "app/win32/main_window.h"

#include <array>
#include <optional>

#include "app/resource_ids.h"
#include "app/ui_texts.h"
#include "app/win32/about_dialog.h"
#include "app/win32/callback_guard.h"
#include "app/win32/drop_handle.h"
#include "app/win32/settings_dialog.h"
#include "io/wide_text_win32.h"

namespace pixorale {
namespace {

constexpr int kOuterWidth = 220;
constexpr int kOuterHeight = 100;
// Caption, window menu and minimize box: no sizing border, no maximize box.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

const std::wstring& ClassName() {
  static const std::wstring name = ToWide(texts::kWindowClassName);
  return name;
}

}  // namespace

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
  windowClass.lpszClassName = ClassName().c_str();
  return RegisterClassW(&windowClass) != 0;
}

bool MainWindow::Create(HINSTANCE instance) {
  // The window finds this object through the creation value (see WindowProcedure).
  const HWND window = CreateWindowExW(
      WS_EX_ACCEPTFILES, ClassName().c_str(), ToWide(texts::kProgramName).c_str(), kWindowStyle,
      CW_USEDEFAULT, CW_USEDEFAULT, kOuterWidth, kOuterHeight, nullptr, nullptr, instance, this);
  return window != nullptr;
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = GuardCallback(
      window, LRESULT{0}, [&] { return self->HandleMessage(message, wParam, lParam); });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DragAcceptFiles(window_, TRUE);
      return 0;
    case WM_DESTROY:
      // Saved on every way out, so the start directory always has a settings file
      // afterwards; a failure has nobody left to tell.
      state_.settings.SaveSettings();
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      // Every command id answers 0, handled or not.
      DispatchCommand(LOWORD(wParam));
      return 0;
    case WM_DROPFILES:
      ConvertDroppedFile(reinterpret_cast<HDROP>(wParam));
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::DispatchCommand(int commandId) {
  switch (commandId) {
    case IDM_OPEN:
      commands_.OpenPicture();
      break;
    case IDM_EXIT:
      DestroyWindow(window_);
      break;
    case IDM_CONVERSION_SETTINGS: {
      SettingsDialog dialog(state_.settings);
      dialog.Run(window_);
      break;
    }
    case IDM_ABOUT: {
      AboutDialog dialog;
      dialog.Run(window_);
      break;
    }
    default:
      break;
  }
}

void MainWindow::ConvertDroppedFile(HDROP drop) {
  std::string path;
  {
    // Only the first file counts; the list is released before the run's prompts open.
    const DropHandle files(drop);
    std::array<wchar_t, MAX_PATH> buffer{};
    const UINT length = DragQueryFileW(files.get(), 0, buffer.data(), buffer.size());
    path = ToUtf8(std::wstring_view(buffer.data(), length));
  }
  commands_.ConvertDroppedFile(path);
}

}  // namespace pixorale
