#include "app/win32/win32_conversion_ui.h"

#include <windows.h>
// commdlg.h needs the types of windows.h first.
#include <commdlg.h>

#include <array>

#include "io/wide_text_win32.h"

namespace pixorale {
namespace {

enum class FileDialogKind { kOpen, kSave };

// The dialogs take their filter as pairs of texts, display name then pattern, each ended by
// a NUL, and the list ended by one more.
std::wstring FilterList(const FileFilter& filter) {
  std::wstring list = ToWide(filter.displayName);
  list += L'\0';
  list += ToWide(filter.pattern);
  list += L'\0';
  list += L'\0';
  return list;
}

std::optional<std::string> RunFileDialog(FileDialogKind kind, const FileFilter& filter,
                                         std::string_view defaultExtension) {
  const std::wstring filterList = FilterList(filter);
  const std::wstring extension = ToWide(defaultExtension);
  std::array<wchar_t, MAX_PATH> path{};

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = filterList.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags =
      kind == FileDialogKind::kOpen ? OFN_FILEMUSTEXIST : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  // A cancel and a failure (a path too long for the buffer) are not told apart.
  const BOOL confirmed =
      kind == FileDialogKind::kOpen ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!confirmed) return std::nullopt;
  return ToUtf8(path.data());
}

}  // namespace

std::optional<std::string> Win32ConversionUi::PromptOpenFile(const FileFilter& filter,
                                                             std::string_view defaultExtension) {
  return RunFileDialog(FileDialogKind::kOpen, filter, defaultExtension);
}

std::optional<std::string> Win32ConversionUi::PromptSaveFile(const FileFilter& filter,
                                                             std::string_view defaultExtension) {
  return RunFileDialog(FileDialogKind::kSave, filter, defaultExtension);
}

void Win32ConversionUi::ShowMessage(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(), MB_OK);
}

}  // namespace pixorale
