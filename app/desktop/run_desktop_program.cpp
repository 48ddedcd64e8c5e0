#include "app/desktop/run_desktop_program.h"

#include <QApplication>
#include <QWindow>
#include <cstdlib>

#include "app/conversion_commands.h"
#include "app/desktop/main_window.h"
#include "app/desktop/toolkit_translation.h"

namespace pixorale {

int RunDesktopProgram(std::string_view commandLineTail, ProgramState& state, RandomBitSource& bits,
                      ConversionUi& ui) {
  // Before the first dialog: Qt's own buttons and file dialogs speak the program's language.
  const std::unique_ptr<QTranslator> toolkitTexts = InstallToolkitTranslation();
  if (!state.settings.LoadSettings()) state.settings.InstallDefaults();
  state.song.ClearSong();

  // Before any window exists: the run's prompts appear on their own.
  ConversionCommands(state, bits, ui).ConvertCommandLine(commandLineTail);

  MainWindow window(state, bits, ui);
  window.show();
  // Without a window nothing could ever end the event loop.
  if (window.windowHandle() == nullptr || !window.isVisible()) return EXIT_FAILURE;
  QObject::connect(&window, &MainWindow::closed, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  return QApplication::exec();
}

}  // namespace pixorale
