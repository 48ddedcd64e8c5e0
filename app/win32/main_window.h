#pragma once

#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <string>

#include "app/conversion_commands.h"
#include "app/conversion_run.h"

namespace pixorale {

// The program's one top-level window: 220 by 100 pixels, white, with menu 101, accepting
// dropped files. It keeps no state of its own; the settings, song and image are the
// program's, and the conversion commands refuse a second run while one is in progress.
class MainWindow {
 public:
  MainWindow(ProgramState& state, RandomBitSource& bits, ConversionUi& ui)
      : state_(state), commands_(state, bits, ui) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the window class "ZIVI_Duzaz". False when registration failed.
  static bool RegisterWindowClass(HINSTANCE instance);
  // Creates the window (not yet shown). False when it could not be created.
  bool Create(HINSTANCE instance);
  HWND handle() const { return window_; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  void DispatchCommand(int commandId);
  void ConvertDroppedFile(HDROP drop);

  ProgramState& state_;
  ConversionCommands commands_;
  HWND window_ = nullptr;
};

}  // namespace pixorale
