// The desktop program's resources as the finished pixorale.exe carries them: menu 101,
// dialog templates 102 and 103 (ids, kinds, texts, styles and positions in dialog units,
// in template order), icon 104, the version block and the manifest. Read from the file
// itself, so a mistake in pixorale.rc or in the build shows here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "app/dialog_rect.h"
#include "app/resource_ids.h"
#include "app/ui_texts.h"
#include "io/wide_text_win32.h"

namespace pixorale::test {
namespace {

// Built on Linux, the path is a Unix one, which Wine reaches through drive Z:.
std::wstring ProgramPath() {
  std::wstring path = ToWide(PIXORALE_EXE_PATH);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path.starts_with(L"\\") ? L"Z:" + path : path;
}

class ProgramResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot load " << PIXORALE_EXE_PATH;
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  const BYTE* Resource(LPCWSTR type, int id, DWORD* size = nullptr) const {
    // Japanese, as every resource of the program.
    const HRSRC found = FindResourceExW(module_, type, MAKEINTRESOURCEW(id),
                                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = SizeofResource(module_, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
  }

  HMODULE module_ = nullptr;
};

std::wstring W(std::string_view text) {
  return ToWide(text);
}

// Window classes compare without regard to case: a template may name "BUTTON" where another
// gives the ordinal of "Button".
std::wstring ClassKey(std::wstring name) {
  for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
  return name;
}

// One control of an extended dialog template.
struct Control {
  int id;
  std::wstring kind;  // the class, by name
  std::wstring text;
  DWORD style;
  short x, y, cx, cy;
};

struct DialogTemplate {
  DWORD style;
  short cx, cy;
  std::wstring title;
  WORD points;
  WORD weight;
  std::wstring font;
  std::vector<Control> controls;
};

// Reads DLGTEMPLATEEX and its DLGITEMTEMPLATEEX entries.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : at_(data) {}

  DialogTemplate Read() {
    DialogTemplate dialog;
    Word();   // version
    Word();   // signature
    Dword();  // help id
    Dword();  // extended style
    dialog.style = Dword();
    const WORD count = Word();
    Word();
    Word();
    dialog.cx = static_cast<short>(Word());
    dialog.cy = static_cast<short>(Word());
    NameOrOrdinal();  // menu
    NameOrOrdinal();  // class
    dialog.title = String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
      dialog.points = Word();
      dialog.weight = Word();
      Word();  // italic and character set
      dialog.font = String();
    }
    for (WORD i = 0; i < count; ++i) {
      Align();
      Control control{};
      Dword();  // help id
      Dword();  // extended style
      control.style = Dword();
      control.x = static_cast<short>(Word());
      control.y = static_cast<short>(Word());
      control.cx = static_cast<short>(Word());
      control.cy = static_cast<short>(Word());
      control.id = static_cast<int>(Dword());
      control.kind = NameOrOrdinal();
      control.text = NameOrOrdinal();
      const WORD extra = Word();
      at_ += extra;
      dialog.controls.push_back(control);
    }
    return dialog;
  }

 private:
  WORD Word() {
    WORD value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD value;
    std::memcpy(&value, at_, 4);
    at_ += 4;
    return value;
  }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name, or an ordinal written as "#n"; class ordinals become the class names.
  std::wstring NameOrOrdinal() {
    WORD first;
    std::memcpy(&first, at_, 2);
    if (first == 0) {
      at_ += 2;
      return {};
    }
    if (first != 0xFFFF) return String();
    at_ += 2;
    const WORD ordinal = Word();
    switch (ordinal) {
      case 0x80:
        return L"Button";
      case 0x81:
        return L"Edit";
      case 0x82:
        return L"Static";
      case 0x85:
        return L"ComboBox";
      default:
        return L"#" + std::to_wstring(ordinal);
    }
  }
  void Align() {
    const auto offset = reinterpret_cast<uintptr_t>(at_);
    at_ += (4 - offset % 4) % 4;
  }

  const BYTE* at_;
};

TEST_F(ProgramResources, MenuHasTheThreeMenusTheirItemsAndCommandIds) {
  const HMENU bar = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(bar, nullptr);
  auto text = [](HMENU menu, int position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, 128, MF_BYPOSITION);
    return std::wstring(buffer);
  };
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(text(bar, 0), W(texts::kMenuFile));
  EXPECT_EQ(text(bar, 1), W(texts::kMenuSettings));
  EXPECT_EQ(text(bar, 2), W(texts::kMenuHelp));

  const HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(text(file, 0), W(texts::kMenuOpen));
  EXPECT_EQ(GetMenuItemID(file, 0), 40004u);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(text(file, 2), W(texts::kMenuExit));
  EXPECT_EQ(GetMenuItemID(file, 2), 40005u);
  EXPECT_EQ(text(GetSubMenu(bar, 1), 0), W(texts::kMenuConversionSettings));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 40006u);
  EXPECT_EQ(text(GetSubMenu(bar, 2), 0), W(texts::kMenuAbout));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 2), 0), 40008u);
  DestroyMenu(bar);
}

TEST_F(ProgramResources, SettingsDialogTemplateControlForControl) {
  const BYTE* data = Resource(RT_DIALOG, IDD_CONVERSION_SETTINGS);
  ASSERT_NE(data, nullptr);
  const DialogTemplate dialog = TemplateReader(data).Read();
  EXPECT_EQ(dialog.title, W(texts::kSettingsTitle));
  constexpr DialogRect kTemplate{RECT_SETTINGS_DIALOG};
  EXPECT_EQ(dialog.cx, kTemplate.width);
  EXPECT_EQ(dialog.cy, kTemplate.height);
  EXPECT_EQ(dialog.font, L"MS Shell Dlg");
  EXPECT_EQ(dialog.points, 8);
  EXPECT_EQ(dialog.weight, FW_NORMAL);
  const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  EXPECT_EQ(dialog.style & frame, frame);

  constexpr DWORD kEdit = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
  const Control expected[] = {
      {IDOK, L"Button", W(texts::kOk), BS_DEFPUSHBUTTON | WS_TABSTOP, RECT_SETTINGS_OK},
      {IDCANCEL, L"Button", W(texts::kCancel), BS_PUSHBUTTON | WS_TABSTOP, RECT_SETTINGS_CANCEL},
      {IDC_SCALE_LIST, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
       RECT_SCALE_LIST},
      {-1, L"Static", W(texts::kScaleLabel), WS_GROUP, RECT_SCALE_LABEL},
      {-1, L"Static", W(texts::kSustainLabel), WS_GROUP, RECT_SUSTAIN_LABEL},
      {IDC_SUSTAIN, L"Edit", L"", kEdit, RECT_SUSTAIN},
      {-1, L"Static", W(texts::kTempoLabel), WS_GROUP, RECT_TEMPO_LABEL},
      {IDC_TEMPO, L"Edit", L"", kEdit, RECT_TEMPO},
      {IDC_BEAT_UNITS, L"Button", W(texts::kBeatUnits), kRadio, RECT_BEAT_UNITS},
      {IDC_MILLISECOND_UNITS, L"Button", W(texts::kMillisecondUnits), kRadio,
       RECT_MILLISECOND_UNITS},
      {IDC_RESOLUTION, L"Edit", L"", kEdit, RECT_RESOLUTION},
      {-1, L"Static", W(texts::kResolutionLabel), WS_GROUP, RECT_RESOLUTION_LABEL},
      {IDC_SINGLE_NOTES, L"Button", W(texts::kSingleNotes), kRadio, RECT_SINGLE_NOTES},
      {IDC_WITH_CHORDS, L"Button", W(texts::kWithChords), kRadio, RECT_WITH_CHORDS},
      {IDC_RANGE_ON, L"Button", W(texts::kRangeOn), kRadio | WS_GROUP, RECT_RANGE_ON},
      {IDC_RANGE_OFF, L"Button", W(texts::kRangeOff), kRadio | WS_GROUP, RECT_RANGE_OFF},
      {IDC_RANGE_LOW, L"Edit", L"", kEdit | WS_DISABLED, RECT_RANGE_LOW},
      {IDC_RANGE_HIGH, L"Edit", L"", kEdit | WS_DISABLED, RECT_RANGE_HIGH},
      {-1, L"Static", W(texts::kRangeHighLabel), WS_GROUP, RECT_RANGE_HIGH_LABEL},
      {-1, L"Static", W(texts::kRangeLowLabel), WS_GROUP, RECT_RANGE_LOW_LABEL},
      {-1, L"Static", W(texts::kRangeLabel), WS_GROUP, RECT_RANGE_LABEL},
  };
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  // The flags the table names, and no tab stop or group where it names none.
  constexpr DWORD kFlags = 0xFFFF | WS_TABSTOP | WS_GROUP | WS_BORDER | WS_VSCROLL | WS_DISABLED;
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Control& got = dialog.controls[i];
    const Control& want = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(ClassKey(got.kind), ClassKey(want.kind));
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.style & kFlags, want.style);
    EXPECT_EQ((std::vector<short>{got.x, got.y, got.cx, got.cy}),
              (std::vector<short>{want.x, want.y, want.cx, want.cy}));
  }
}

TEST_F(ProgramResources, AboutBoxTemplateHasNoWindowMenuAndTheIcon) {
  const BYTE* data = Resource(RT_DIALOG, IDD_ABOUT);
  ASSERT_NE(data, nullptr);
  const DialogTemplate dialog = TemplateReader(data).Read();
  EXPECT_EQ(dialog.title, W(texts::kProgramName));
  constexpr DialogRect kTemplate{RECT_ABOUT_DIALOG};
  EXPECT_EQ(dialog.cx, kTemplate.width);
  EXPECT_EQ(dialog.cy, kTemplate.height);
  EXPECT_EQ(dialog.points, 24);
  EXPECT_EQ(dialog.font, L"MS Shell Dlg");
  EXPECT_EQ(dialog.style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION));
  ASSERT_EQ(dialog.controls.size(), 3u);
  EXPECT_EQ(dialog.controls[0].id, IDOK);
  EXPECT_EQ(dialog.controls[0].style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  EXPECT_EQ((std::vector<short>{dialog.controls[0].x, dialog.controls[0].y, dialog.controls[0].cx,
                                dialog.controls[0].cy}),
            (std::vector<short>{RECT_ABOUT_OK}));
  EXPECT_EQ(dialog.controls[1].text, W(texts::kProgramName) + L"\n" + W(texts::kVersionLine));
  EXPECT_EQ((std::vector<short>{dialog.controls[1].x, dialog.controls[1].y, dialog.controls[1].cx,
                                dialog.controls[1].cy}),
            (std::vector<short>{RECT_ABOUT_TEXT}));
  EXPECT_EQ(ClassKey(dialog.controls[2].kind), L"STATIC");
  EXPECT_EQ(dialog.controls[2].style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
  EXPECT_EQ(dialog.controls[2].text, L"#104");
  EXPECT_EQ((std::vector<short>{dialog.controls[2].x, dialog.controls[2].y, dialog.controls[2].cx,
                                dialog.controls[2].cy}),
            (std::vector<short>{RECT_ABOUT_ICON}));
}

TEST_F(ProgramResources, IconHasTheUsualSizes) {
  DWORD size = 0;
  const BYTE* group = Resource(RT_GROUP_ICON, IDI_PROGRAM, &size);
  ASSERT_NE(group, nullptr);
  WORD count;
  std::memcpy(&count, group + 4, 2);
  std::vector<int> sides;
  for (WORD i = 0; i < count; ++i)
    sides.push_back(group[6 + 14 * i] == 0 ? 256 : group[6 + 14 * i]);
  EXPECT_EQ(sides, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST_F(ProgramResources, VersionBlockNamesTheProgramInJapanese) {
  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  auto value = [&](const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT chars = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars)) {
      return std::wstring();
    }
    return std::wstring(text);
  };
  EXPECT_EQ(value(L"FileDescription"), W(texts::kProgramName));
  EXPECT_EQ(value(L"ProductName"), W(texts::kProgramName));
  EXPECT_EQ(value(L"FileVersion"), W(texts::kVersion));
  EXPECT_EQ(value(L"ProductVersion"), W(texts::kVersion));
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6) {
  const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
  const std::string manifest(data, SizeofResource(module_, found));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
}  // namespace pixorale::test
