#include "app/win32/callback_guard.h"

#include <atomic>
#include <string>

#include "app/ui_texts.h"
#include "io/wide_text_win32.h"

namespace pixorale {

void ReportFailureAndQuit(HWND window, const std::exception* failure) noexcept {
  // The message box runs a message loop of its own: a second failure while it is shown
  // only adds to the quit.
  static std::atomic<bool> reported{false};
  if (!reported.exchange(true)) {
    try {
      std::string text(texts::kUnexpectedStop);
      if (failure != nullptr && *failure->what() != '\0') text.append("\n").append(failure->what());
      MessageBoxW(window, ToWide(text).c_str(), ToWide(texts::kErrorCaption).c_str(),
                  MB_OK | MB_ICONERROR);
    } catch (...) {
      // No memory left even for the text: end without it.
    }
  }
  PostQuitMessage(1);
}

}  // namespace pixorale
