#pragma once

#include <QMainWindow>
#include <string>

#include "app/conversion_commands.h"
#include "app/conversion_run.h"

class QAction;
class QMenu;

namespace pixorale {

// The program's only top-level window: fixed size, white, a menu bar, and a drop target for
// BMP files. It keeps no state of its own; it works on the program's settings, song and
// image through the conversion run.
class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(ProgramState& state, RandomBitSource& bits, ConversionUi& ui,
             QWidget* parent = nullptr);

  // Carries out a menu command; an id that no menu item has does nothing.
  void DispatchCommand(int commandId);

  // True while a conversion run, with its prompts, is in progress.
  bool IsConverting() const { return commands_.IsConverting(); }

 signals:
  // The window was closed and the settings saved; the program should end.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void BuildMenus();
  QAction* AddCommand(QMenu& menu, std::string_view text, int commandId);
  void ShowConversionSettings();
  void ShowAbout();
  // The outer size, frame included, stays 220 by 100 once the window manager adds a frame.
  void FitOuterSize();

  ProgramState& state_;
  ConversionUi& ui_;
  ConversionCommands commands_;
};

}  // namespace pixorale
