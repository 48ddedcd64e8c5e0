// Cairo's Windows font backend takes a GDI family name and GDI substitutes any face for one
// it does not have. The first installed of the faces Windows ships with Japanese glyphs is
// taken, so that labels look the same as the rest of the system's Japanese text.
#include <windows.h>

#include <array>

#include "render/piano_roll_font.h"

namespace pixorale {
namespace {

struct Face {
  const char* name;
  const wchar_t* wideName;
};

// Newest first: Yu Gothic UI since Windows 8.1, Meiryo UI since 7, MS UI Gothic since 95;
// Segoe UI when none of the Japanese faces is installed.
constexpr std::array<Face, 5> kFaces = {{
    {"Yu Gothic UI", L"Yu Gothic UI"},
    {"Meiryo UI", L"Meiryo UI"},
    {"Meiryo", L"Meiryo"},
    {"MS UI Gothic", L"MS UI Gothic"},
    {"Segoe UI", L"Segoe UI"},
}};

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

bool Installed(HDC screen, const wchar_t* family) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, family, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(screen, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

const char* FirstInstalledFace() {
  HDC screen = GetDC(nullptr);
  const char* chosen = kFaces.back().name;
  for (const Face& face : kFaces) {
    if (Installed(screen, face.wideName)) {
      chosen = face.name;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return chosen;
}

}  // namespace

const char* PianoRollFontFamily() {
  static const char* const chosen = FirstInstalledFace();
  return chosen;
}

}  // namespace pixorale
