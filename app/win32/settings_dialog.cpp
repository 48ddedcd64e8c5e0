#include "app/win32/settings_dialog.h"

#include <array>

#include "app/resource_ids.h"
#include "app/ui_texts.h"
#include "app/win32/dialog_procedure.h"
#include "io/wide_text_win32.h"

namespace pixorale {

void SettingsDialog::Run(HWND owner) {
  RunModalDialog(owner, IDD_CONVERSION_SETTINGS, *this);
}

INT_PTR SettingsDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      dialog_ = dialog;
      for (std::string_view name : texts::kScaleNames) {
        const std::wstring wide = ToWide(name);
        SendDlgItemMessageW(dialog_, IDC_SCALE_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(wide.c_str()));
      }
      ShowForm(FormFromSettings(settings_));
      return TRUE;  // the focus goes to the first tab stop, the OK button
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          StoreAndClose();
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog_, IDCANCEL);
          return TRUE;
        // The two range choices start groups of their own, so they exclude each other here.
        case IDC_RANGE_ON:
          ChooseRange(true);
          return FALSE;
        case IDC_RANGE_OFF:
          ChooseRange(false);
          return FALSE;
        default:
          return FALSE;
      }
    case WM_NCDESTROY:
      dialog_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void SettingsDialog::ShowForm(const SettingsForm& form) {
  SendDlgItemMessageW(dialog_, IDC_SCALE_LIST, CB_SETCURSEL,
                      static_cast<WPARAM>(form.scaleSelection), 0);
  SetControlText(IDC_SUSTAIN, form.sustainText);
  SetControlText(IDC_TEMPO, form.tempoText);
  SetControlText(IDC_RESOLUTION, form.resolutionText);
  Check(IDC_BEAT_UNITS, form.beatUnits);
  Check(IDC_MILLISECOND_UNITS, !form.beatUnits);
  Check(IDC_SINGLE_NOTES, form.singleNotes);
  Check(IDC_WITH_CHORDS, !form.singleNotes);
  SetControlText(IDC_RANGE_LOW, form.rangeLowText);
  SetControlText(IDC_RANGE_HIGH, form.rangeHighText);
  ChooseRange(form.rangeGiven);
}

SettingsForm SettingsDialog::ReadForm() const {
  SettingsForm form;
  form.scaleSelection =
      static_cast<int>(SendDlgItemMessageW(dialog_, IDC_SCALE_LIST, CB_GETCURSEL, 0, 0));
  form.sustainText = ControlText(IDC_SUSTAIN);
  form.tempoText = ControlText(IDC_TEMPO);
  form.beatUnits = IsChecked(IDC_BEAT_UNITS);
  form.resolutionText = ControlText(IDC_RESOLUTION);
  form.singleNotes = IsChecked(IDC_SINGLE_NOTES);
  form.rangeGiven = IsChecked(IDC_RANGE_ON);
  form.rangeLowText = ControlText(IDC_RANGE_LOW);
  form.rangeHighText = ControlText(IDC_RANGE_HIGH);
  return form;
}

void SettingsDialog::StoreAndClose() {
  if (StoreForm(ReadForm(), settings_) == StoreResult::kTempoNotPositive) {
    // Owned by the dialog, which stays open so the user can correct the tempo.
    MessageBoxW(dialog_, ToWide(texts::kTempoMustBePositive).c_str(),
                ToWide(texts::kErrorCaption).c_str(), MB_OK);
    const HWND tempo = GetDlgItem(dialog_, IDC_TEMPO);
    SetFocus(tempo);
    SendMessageW(tempo, EM_SETSEL, 0, -1);
    return;
  }
  // A failed save is not reported; the new values stay in use for this run.
  settings_.SaveSettings();
  EndDialog(dialog_, IDOK);
}

void SettingsDialog::ChooseRange(bool given) {
  Check(IDC_RANGE_ON, given);
  Check(IDC_RANGE_OFF, !given);
  // The range edits keep their texts while disabled.
  EnableWindow(GetDlgItem(dialog_, IDC_RANGE_LOW), given);
  EnableWindow(GetDlgItem(dialog_, IDC_RANGE_HIGH), given);
}

std::string SettingsDialog::ControlText(int id) const {
  std::array<wchar_t, kMaxControlTextLength + 1> buffer{};
  const UINT length = GetDlgItemTextW(dialog_, id, buffer.data(), static_cast<int>(buffer.size()));
  return ToUtf8(std::wstring_view(buffer.data(), static_cast<size_t>(length)));
}

void SettingsDialog::SetControlText(int id, const std::string& text) {
  SetDlgItemTextW(dialog_, id, ToWide(text).c_str());
}

bool SettingsDialog::IsChecked(int id) const {
  return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

void SettingsDialog::Check(int id, bool checked) {
  CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace pixorale
