#include "app/win32/run_windows_program.h"

#include "app/conversion_commands.h"
#include "app/win32/main_window.h"

namespace pixorale {

int RunWindowsProgram(HINSTANCE instance, std::string_view commandLineTail, int showCommand,
                      ProgramState& state, RandomBitSource& bits, ConversionUi& ui) {
  if (!state.settings.LoadSettings()) state.settings.InstallDefaults();
  state.song.ClearSong();

  // Before any window exists: the run's prompts appear on their own.
  ConversionCommands(state, bits, ui).ConvertCommandLine(commandLineTail);

  if (!MainWindow::RegisterWindowClass(instance)) return 0;
  MainWindow window(state, bits, ui);
  if (!window.Create(instance)) return 1;
  ShowWindow(window.handle(), showCommand);
  UpdateWindow(window.handle());

  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // -1 is a failure of the loop itself, not a quit message.
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace pixorale
