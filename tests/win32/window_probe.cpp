// A small Windows program the desktop tests run beside pixorale.exe under Wine: it finds
// windows by title and reads or works their controls through the platform's own calls, so
// the tests see what a user would. Positions are in pixels of the window's client area; the
// tests turn them into dialog units (the pixel sizes of dialogs differ between Windows and
// Wine).
//
// TITLE is a window's title, "dialog:TITLE" a dialog's, "dialog:*" any dialog.
//   window_probe wait TITLE [MS]            a visible top-level window with the title appears
//   window_probe gone TITLE [MS]            no visible top-level window has the title any more
//   window_probe count TITLE                prints how many visible top-level windows match
//   window_probe command TITLE ID           posts the menu command ID to the window
//   window_probe dump TITLE                 the window's size, style and children, one a line
//   window_probe set-text TITLE ID TEXT     sets the text of control ID
//   window_probe click TITLE ID             clicks button ID
//   window_probe select TITLE ID INDEX      selects item INDEX of combo box ID
//   window_probe file-name TITLE PATH       types PATH into a file dialog and confirms it
//   window_probe menu TITLE LETTER          opens the menu whose mnemonic is LETTER
//
// Exit status 0 on success, 1 when the window or control is not there, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), needed,
                      nullptr, nullptr);
  return out;
}

// Quotes a text for the output line; a line break shows as \n.
std::string Quoted(const std::wstring& text) {
  std::string out = "\"";
  for (char c : Utf8(text)) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void Print(const std::string& line) {
  const std::string withEnd = line + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), withEnd.data(), static_cast<DWORD>(withEnd.size()),
            &written, nullptr);
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT crosses process boundaries; GetWindowTextW would not read another process's
  // controls.
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto got =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<size_t>(length));
}

// TITLE names a window by its title; "dialog:TITLE" only a dialog with that title, and
// "dialog:*" any dialog (the About box shares the main window's title).
struct WindowQuery {
  bool dialogOnly = false;
  bool anyTitle = false;
  std::wstring title;
};

WindowQuery ParseQuery(const std::wstring& text) {
  WindowQuery query;
  query.title = text;
  const std::wstring prefix = L"dialog:";
  if (text.rfind(prefix, 0) == 0) {
    query.dialogOnly = true;
    query.title = text.substr(prefix.size());
    query.anyTitle = query.title == L"*";
  }
  return query;
}

// The visible top-level windows that match, front to back.
std::vector<HWND> VisibleMatches(const std::wstring& text) {
  struct Search {
    WindowQuery query;
    std::vector<HWND> found;
  } search{ParseQuery(text), {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(window)) return TRUE;
        if (s->query.dialogOnly && ClassOf(window) != L"#32770") return TRUE;
        if (!s->query.anyTitle && WindowText(window) != s->query.title) return TRUE;
        s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindVisible(const std::wstring& text) {
  const std::vector<HWND> found = VisibleMatches(text);
  return found.empty() ? nullptr : found.front();
}

HWND WaitFor(const std::wstring& title, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    if (HWND window = FindVisible(title)) return window;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(50);
  }
}

void Dump(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  RECT outer{};
  GetWindowRect(window, &outer);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  char line[256];
  std::snprintf(line, sizeof line,
                "window class=%s outer=%ld,%ld client=%ld,%ld style=0x%08lx ex=0x%08lx menu=%d",
                Utf8(ClassOf(window)).c_str(), outer.right - outer.left, outer.bottom - outer.top,
                client.right, client.bottom, static_cast<unsigned long>(style),
                static_cast<unsigned long>(exStyle), GetMenu(window) != nullptr ? 1 : 0);
  Print(line);
  // Children in z-order, which for a dialog is the template's order.
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
    const auto childStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    const std::wstring kind = ClassOf(child);
    std::string extra;
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
      extra = " checked=" + std::to_string(SendMessageW(child, BM_GETCHECK, 0, 0));
    } else if (_wcsicmp(kind.c_str(), L"ComboBox") == 0) {
      extra = " selected=" + std::to_string(SendMessageW(child, CB_GETCURSEL, 0, 0));
      const auto count = SendMessageW(child, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(child, CB_GETLBTEXTLEN, i, 0);
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        extra += " item=" + Quoted(item);
      }
    }
    std::snprintf(line, sizeof line,
                  "control id=%d class=%s x=%ld y=%ld w=%ld h=%ld style=0x%08lx enabled=%d",
                  GetDlgCtrlID(child), Utf8(kind).c_str(), r.left, r.top, r.right - r.left,
                  r.bottom - r.top, static_cast<unsigned long>(childStyle),
                  IsWindowEnabled(child) ? 1 : 0);
    Print(std::string(line) + " text=" + Quoted(WindowText(child)) + extra);
  }
}

// The file name field of a file dialog: the edit somewhere inside control 0x47C of the
// Explorer style (a combo box, or an extended one holding a combo box), or edit 0x480 of the
// old style.
HWND FileNameEdit(HWND dialog) {
  const HWND field = GetDlgItem(dialog, 0x47C);
  if (field == nullptr) return GetDlgItem(dialog, 0x480);
  HWND edit = nullptr;
  EnumChildWindows(
      field,
      [](HWND child, LPARAM found) -> BOOL {
        if (_wcsicmp(ClassOf(child).c_str(), L"Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&edit));
  return edit != nullptr ? edit : field;
}

int Usage() {
  Print(
      "usage: window_probe wait|gone|count|command|menu|dump|set-text|click|select|file-name TITLE "
      "...");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring verb = argv[1];
  const std::wstring title = argv[2];
  const DWORD timeout = 10000;

  if (verb == L"wait") {
    return WaitFor(title, argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : timeout) ? 0 : 1;
  }
  if (verb == L"count") {
    Print(std::to_string(VisibleMatches(title).size()));
    return 0;
  }
  if (verb == L"gone") {
    const ULONGLONG end = GetTickCount64() + (argc > 3 ? _wtoi(argv[3]) : timeout);
    while (FindVisible(title) != nullptr) {
      if (GetTickCount64() >= end) return 1;
      Sleep(50);
    }
    return 0;
  }

  const HWND window = WaitFor(title, timeout);
  if (window == nullptr) {
    Print("no window " + Quoted(title));
    return 1;
  }
  if (verb == L"dump") {
    Dump(window);
    return 0;
  }
  if (argc < 4) return Usage();
  if (verb == L"menu") {
    // What Alt and the letter do: the window's menu bar opens that menu.
    return PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(argv[3][0])) ? 0 : 1;
  }
  if (verb == L"command") {
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(_wtoi(argv[3]), 0), 0) ? 0 : 1;
  }
  if (verb == L"file-name") {
    const HWND edit = FileNameEdit(window);
    if (edit == nullptr) return 1;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) ? 0 : 1;
  }
  const HWND control = GetDlgItem(window, _wtoi(argv[3]));
  if (control == nullptr) {
    Print("no control " + Utf8(argv[3]));
    return 1;
  }
  if (verb == L"set-text" && argc > 4) {
    return SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
  }
  if (verb == L"click") {
    // Posted: a click that opens a message box must not block the probe.
    return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (verb == L"select" && argc > 4) {
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[4])), 0);
    return 0;
  }
  return Usage();
}
