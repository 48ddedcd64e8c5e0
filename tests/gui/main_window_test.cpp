#include "app/desktop/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <optional>

#include "app/desktop/about_dialog.h"
#include "app/desktop/command_ids.h"
#include "app/desktop/settings_dialog.h"
#include "app/ui_texts.h"
#include "gui_test_helpers.h"

namespace pixorale {
namespace {

using test::HookedUi;
using test::Q;

// One main window over a fresh program state whose settings live in a scratch directory.
struct Fixture {
  test::TempDir dir;
  ProgramState state;
  FixedBits bits{0};
  HookedUi ui;
  MainWindow window{state, bits, ui};

  Fixture() { state.settings = test::DefaultSettingsIn(dir.path()); }

  bool SettingsFileWritten() const { return std::filesystem::exists(dir / "setting.set"); }

  // A drag that enters the window and is released there: Qt delivers the drop only to the
  // widget that accepted the drag's entry.
  void Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint where(20, 40);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
  }

  void DropFiles(const std::vector<std::filesystem::path>& paths) {
    QList<QUrl> urls;
    for (const auto& path : paths) urls.append(QUrl::fromLocalFile(FromNativePath(path.string())));
    Drop(urls);
  }
};

struct MenuItem {
  QString text;
  int commandId;  // 0 for a separator
};

QList<MenuItem> ItemsOf(const QMenu& menu) {
  QList<MenuItem> items;
  for (const QAction* action : menu.actions()) {
    items.append({action->isSeparator() ? QString() : action->text(),
                  action->isSeparator() ? 0 : action->data().toInt()});
  }
  return items;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void menuBarHoldsTheThreeMenusWithTheirCommandIds() {
    Fixture f;
    const QList<QAction*> menus = f.window.menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), Q(texts::kMenuFile));
    QCOMPARE(menus[1]->text(), Q(texts::kMenuSettings));
    QCOMPARE(menus[2]->text(), Q(texts::kMenuHelp));

    const QList<MenuItem> file = ItemsOf(*menus[0]->menu());
    QCOMPARE(file.size(), 3);
    QCOMPARE(file[0].text, Q(texts::kMenuOpen));
    QCOMPARE(file[0].commandId, 40004);
    QVERIFY(menus[0]->menu()->actions()[1]->isSeparator());
    QCOMPARE(file[2].text, Q(texts::kMenuExit));
    QCOMPARE(file[2].commandId, 40005);

    const QList<MenuItem> settings = ItemsOf(*menus[1]->menu());
    QCOMPARE(settings.size(), 1);
    QCOMPARE(settings[0].text, Q(texts::kMenuConversionSettings));
    QCOMPARE(settings[0].commandId, 40006);

    const QList<MenuItem> help = ItemsOf(*menus[2]->menu());
    QCOMPARE(help.size(), 1);
    QCOMPARE(help[0].text, Q(texts::kMenuAbout));
    QCOMPARE(help[0].commandId, 40008);
  }

  void menuActionsDispatchTheirCommand() {
    Fixture f;
    f.window.menuBar()->actions()[0]->menu()->actions()[0]->trigger();
    QCOMPARE(f.ui.prompts.size(), size_t{1});
    QCOMPARE(f.ui.prompts[0].kind, std::string("open"));
  }

  void windowIsAFixedWhiteWindowNamedAfterItsClass() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.window.windowTitle(), QString("Pixorale"));
    QCOMPARE(f.window.objectName(), QString("ZIVI_Duzaz"));
    // The offscreen platform draws no frame, so the outer size is the widget's size.
    QCOMPARE(f.window.frameGeometry().size(), QSize(220, 100));
    QCOMPARE(f.window.minimumSize(), f.window.maximumSize());
    const Qt::WindowFlags flags = f.window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(f.window.acceptDrops());
    const QImage picture = f.window.centralWidget()->grab().toImage();
    QCOMPARE(picture.pixelColor(picture.width() / 2, picture.height() / 2), QColor(Qt::white));
  }

  void unknownCommandIdsDoNothing() {
    Fixture f;
    f.window.show();
    for (int id : {0, -1, 40003, 40007, 40009, 101, 65535}) f.window.DispatchCommand(id);
    QVERIFY(f.ui.prompts.empty());
    QVERIFY(f.ui.messages.empty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.SettingsFileWritten());
  }

  void openConvertsAnyConfirmedPathWithoutAnExtensionTest() {
    Fixture f;
    const auto picture = test::WritePicture(f.dir, "picture.dat");
    f.ui.openAnswers.push_back(picture.string());
    f.ui.saveAnswers.push_back((f.dir / "song.mid").string());
    f.window.DispatchCommand(kCommandOpen);

    QCOMPARE(f.ui.prompts.size(), size_t{2});
    QCOMPARE(f.ui.prompts[0].kind, std::string("open"));
    QCOMPARE(f.ui.prompts[0].filterName, std::string(texts::kBmpFilter.displayName));
    QCOMPARE(f.ui.prompts[0].filterPattern, std::string("*.bmp"));
    QCOMPARE(f.ui.prompts[0].defaultExtension, std::string("bmp"));
    QCOMPARE(f.ui.prompts[1].kind, std::string("save"));
    QCOMPARE(f.ui.prompts[1].filterName, std::string(texts::kMidiFilter.displayName));
    QCOMPARE(f.ui.prompts[1].defaultExtension, std::string("mid"));
    QVERIFY(std::filesystem::file_size(f.dir / "song.mid") > 14);
    QVERIFY(f.state.song.tracks.empty());
  }

  void cancelledOpenStartsNoRun() {
    Fixture f;
    f.ui.openAnswers.push_back(std::nullopt);
    f.window.DispatchCommand(kCommandOpen);
    QCOMPARE(f.ui.prompts.size(), size_t{1});
    QVERIFY(f.ui.messages.empty());
  }

  void droppingThreePicturesConvertsOnlyTheFirst() {
    Fixture f;
    // The other two would each show the 24-bit message if they were run.
    const auto first = test::WritePicture(f.dir, "first.bmp");
    const auto second = test::Write8BitPicture(f.dir, "second.bmp");
    const auto third = test::Write8BitPicture(f.dir, "third.bmp");
    f.ui.saveAnswers = {(f.dir / "a.mid").string(), (f.dir / "b.mid").string(),
                        (f.dir / "c.mid").string()};
    f.DropFiles({first, second, third});

    QCOMPARE(f.ui.prompts.size(), size_t{1});
    QVERIFY(f.ui.messages.empty());
    QVERIFY(std::filesystem::exists(f.dir / "a.mid"));
    QVERIFY(!std::filesystem::exists(f.dir / "b.mid"));
  }

  void droppedFileNeedsTheExactExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("converted");
    QTest::newRow("lower case") << "picture.bmp" << true;
    QTest::newRow("upper case") << "picture.BMP" << true;
    QTest::newRow("text file") << "picture.txt" << false;
    QTest::newRow("mixed case") << "picture.Bmp" << false;
    QTest::newRow("no extension") << "picture" << false;
  }

  void droppedFileNeedsTheExactExtension() {
    QFETCH(QString, name);
    QFETCH(bool, converted);
    Fixture f;
    const auto picture = test::WritePicture(f.dir, name.toStdString());
    f.ui.saveAnswers.push_back((f.dir / "song.mid").string());
    f.DropFiles({picture});
    QCOMPARE(!f.ui.prompts.empty(), converted);
    QCOMPARE(std::filesystem::exists(f.dir / "song.mid"), converted);
    QVERIFY(f.ui.messages.empty());
  }

  void dropTakesTheFirstLocalFile() {
    Fixture f;
    const auto picture = test::WritePicture(f.dir, "picture.bmp");
    f.ui.saveAnswers.push_back((f.dir / "song.mid").string());
    f.Drop({QUrl("https://example.org/remote.bmp"),
            QUrl::fromLocalFile(FromNativePath(picture.string()))});
    QVERIFY(std::filesystem::exists(f.dir / "song.mid"));
  }

  void dropWithoutLocalFilesDoesNothing() {
    Fixture f;
    f.Drop({QUrl("https://example.org/remote.bmp")});
    QVERIFY(f.ui.prompts.empty());
  }

  void eightBitPictureIsRefusedWithTheMessage() {
    Fixture f;
    f.DropFiles({test::Write8BitPicture(f.dir, "gray.bmp")});
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].text, std::string(texts::kNot24Bit));
    QCOMPARE(f.ui.messages[0].caption, std::string("error"));
    QVERIFY(f.ui.prompts.empty());
  }

  void noSecondRunStartsWhileARunWaitsForItsSavePath() {
    Fixture f;
    const auto first = test::WritePicture(f.dir, "first.bmp");
    const auto second = test::WritePicture(f.dir, "second.bmp");
    bool wasConverting = false;
    bool triedAgain = false;
    f.ui.onSavePrompt = [&] {
      if (triedAgain) return;
      triedAgain = true;
      wasConverting = f.window.IsConverting();
      f.DropFiles({second});
      f.window.DispatchCommand(kCommandOpen);
    };
    f.ui.saveAnswers = {(f.dir / "first.mid").string(), (f.dir / "second.mid").string()};
    f.ui.openAnswers.push_back(second.string());
    f.DropFiles({first});

    QVERIFY(wasConverting);
    QCOMPARE(f.ui.prompts.size(), size_t{1});  // neither the drop nor Open asked anything
    QVERIFY(std::filesystem::exists(f.dir / "first.mid"));
    QVERIFY(!f.window.IsConverting());

    // Once the run has ended the next drop is taken again.
    f.DropFiles({second});
    QVERIFY(std::filesystem::exists(f.dir / "second.mid"));
  }

  void closingTheWindowSavesTheSettings() {
    Fixture f;
    f.state.settings.tempo = 90;
    f.state.settings.rangeLow = 40;
    f.state.settings.rangeHigh = 90;
    f.window.show();
    QSignalSpy closed(&f.window, &MainWindow::closed);
    QVERIFY(f.window.close());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(test::ReadFileBytes(f.dir / "setting.set"), test::SettingsBytes(f.state.settings));
  }

  void exitCommandClosesAndSavesLikeTheCloseButton() {
    Fixture f;
    f.state.settings.scaleIndex = 4;
    f.window.show();
    QSignalSpy closed(&f.window, &MainWindow::closed);
    f.window.DispatchCommand(kCommandExit);
    QCOMPARE(closed.size(), 1);
    QVERIFY(!f.window.isVisible());
    QCOMPARE(test::ReadFileBytes(f.dir / "setting.set"), test::SettingsBytes(f.state.settings));
  }

  void settingsCommandOpensTheDialogOwnedByTheWindow() {
    Fixture f;
    f.window.show();
    bool seen = false;
    test::WhenModalOpens<SettingsDialog>([&](SettingsDialog* dialog) {
      seen = true;
      QCOMPARE(dialog->parentWidget(), &f.window);
      QCOMPARE(dialog->windowTitle(), Q(texts::kSettingsTitle));
      dialog->reject();
    });
    f.window.DispatchCommand(kCommandConversionSettings);
    QVERIFY(seen);
    QVERIFY(!f.SettingsFileWritten());
  }

  void aboutCommandOpensTheAboutBoxOwnedByTheWindow() {
    Fixture f;
    f.window.show();
    bool seen = false;
    test::WhenModalOpens<AboutDialog>([&](AboutDialog* dialog) {
      seen = true;
      QCOMPARE(dialog->parentWidget(), &f.window);
      dialog->accept();
    });
    f.window.DispatchCommand(kCommandAbout);
    QVERIFY(seen);
  }
};

}  // namespace pixorale

QTEST_MAIN(pixorale::MainWindowTest)
#include "main_window_test.moc"
