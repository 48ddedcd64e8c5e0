// The desktop program's resources as the finished pixorale.exe carries them: menu 101 with
// its texts (through the generated header and the resource compiler's code page), icon 104,
// the version block and the manifest. Read from the file itself, so a mistake in the build
// shows here. The dialogs are checked as they open (tests/win32/test_desktop.py): their
// templates are made from the same header as anything a test here could compare them with.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
