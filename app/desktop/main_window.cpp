#include "app/desktop/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QUrl>
#include <QWindow>
#include <optional>

#include "app/desktop/about_dialog.h"
#include "app/desktop/command_ids.h"
#include "app/desktop/program_icon.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/settings_dialog.h"
#include "app/ui_texts.h"

namespace pixorale {
namespace {

constexpr int kOuterWidth = 220;
constexpr int kOuterHeight = 100;

// The first dropped item that is a local file; only it is ever converted.
std::optional<QString> FirstLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return std::nullopt;
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, RandomBitSource& bits, ConversionUi& ui,
                       QWidget* parent)
    : QMainWindow(parent), state_(state), ui_(ui), commands_(state, bits, ui) {
  setObjectName(ToQString(texts::kWindowClassName));
  setWindowTitle(ToQString(texts::kProgramName));
  setWindowIcon(ProgramIcon());
  // Caption, window menu, minimize and close: no sizing border, no maximize button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  auto* canvas = new QWidget(this);
  canvas->setObjectName("canvas");
  QPalette white = canvas->palette();
  white.setColor(QPalette::Window, Qt::white);
  canvas->setPalette(white);
  canvas->setAutoFillBackground(true);
  setCentralWidget(canvas);

  BuildMenus();
  setAcceptDrops(true);
  setFixedSize(kOuterWidth, kOuterHeight);
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(ToQString(texts::kMenuFile));
  AddCommand(*file, texts::kMenuOpen, kCommandOpen);
  file->addSeparator();
  AddCommand(*file, texts::kMenuExit, kCommandExit);

  QMenu* settings = menuBar()->addMenu(ToQString(texts::kMenuSettings));
  AddCommand(*settings, texts::kMenuConversionSettings, kCommandConversionSettings);

  QMenu* help = menuBar()->addMenu(ToQString(texts::kMenuHelp));
  AddCommand(*help, texts::kMenuAbout, kCommandAbout);
}

QAction* MainWindow::AddCommand(QMenu& menu, std::string_view text, int commandId) {
  QAction* action = menu.addAction(ToQString(text));
  action->setData(commandId);
  connect(action, &QAction::triggered, this, [this, commandId] { DispatchCommand(commandId); });
  return action;
}

void MainWindow::DispatchCommand(int commandId) {
  switch (commandId) {
    case kCommandOpen:
      commands_.OpenPicture();
      break;
    case kCommandExit:
      close();
      break;
    case kCommandConversionSettings:
      ShowConversionSettings();
      break;
    case kCommandAbout:
      ShowAbout();
      break;
    default:
      break;
  }
}

void MainWindow::ShowConversionSettings() {
  SettingsDialog dialog(state_.settings, ui_, this);
  dialog.exec();
}

void MainWindow::ShowAbout() {
  AboutDialog dialog(this);
  dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Saved on every way out, so the start directory always has a settings file afterwards;
  // a failure has nobody left to tell.
  state_.settings.SaveSettings();
  event->accept();
  emit closed();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (FirstLocalFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (FirstLocalFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::optional<QString> file = FirstLocalFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  commands_.ConvertDroppedFile(ToNativePath(*file));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitOuterSize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // A window manager reports its frame when it reparents the window, which moves it.
  FitOuterSize();
}

void MainWindow::FitOuterSize() {
  const QWindow* window = windowHandle();
  const QMargins frame = window != nullptr ? window->frameMargins() : QMargins();
  const QSize inner(kOuterWidth - frame.left() - frame.right(),
                    kOuterHeight - frame.top() - frame.bottom());
  if (inner.isValid() && size() != inner) setFixedSize(inner);
}

}  // namespace pixorale
