#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QtTest>
#include <filesystem>
#include <sstream>

#include "app/desktop/command_line.h"
#include "app/desktop/main_window.h"
#include "app/desktop/run_desktop_program.h"
#include "app/ui_texts.h"
#include "gui_test_helpers.h"

namespace pixorale {
namespace {

MainWindow* FindMainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<MainWindow*>(widget)) return window;
  }
  return nullptr;
}

// Closes the main window as soon as it is shown, recording that it was.
void CloseMainWindowOnceShown(bool& shown) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, &shown] {
    MainWindow* window = FindMainWindow();
    if (window == nullptr || !window->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    shown = true;
    window->close();
  });
  timer->start();
}

// Runs the program from the current directory with a scripted UI until its window closes.
struct ProgramRun {
  ProgramState state;
  FixedBits bits{0};
  test::HookedUi ui;
  bool windowExistedAtSavePrompt = false;
  bool windowShown = false;

  int Run(std::string_view tail) {
    ui.onSavePrompt = [this] { windowExistedAtSavePrompt = FindMainWindow() != nullptr; };
    CloseMainWindowOnceShown(windowShown);
    return RunDesktopProgram(tail, state, bits, ui);
  }
};

}  // namespace

class ProgramEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void tailJoinsTheArgumentsWithSingleSpaces() {
    const char* none[] = {"pixorale"};
    QCOMPARE(CommandLineTail(1, none), std::string());
    const char* split[] = {"pixorale", "/tmp/my", "picture.bmp"};
    QCOMPARE(CommandLineTail(3, split), std::string("/tmp/my picture.bmp"));
    const char* quoted[] = {"pixorale", "\"a.bmp\""};
    QCOMPARE(CommandLineTail(2, quoted), std::string("\"a.bmp\""));
  }

  void versionAndHelpAreAnsweredOnlyAsTheWholeTail() {
    std::ostringstream out;
    QCOMPARE(AnswerInformationRequest("--version", out), std::optional<int>(0));
    QCOMPARE(out.str(), std::string("1.0.0.0\n"));
    std::ostringstream help;
    QCOMPARE(AnswerInformationRequest("--help", help), std::optional<int>(0));
    QCOMPARE(help.str(), std::string(texts::kDesktopUsage));
    std::ostringstream none;
    for (const char* tail : {"", "--version x.bmp", "picture.bmp", "-v"}) {
      QVERIFY(!AnswerInformationRequest(tail, none).has_value());
    }
    QVERIFY(none.str().empty());
  }

  void commandLinePictureIsConvertedBeforeTheWindowShows() {
    test::TempDir dir;
    const test::ScopedCurrentDirectory cwd(dir.path());
    const auto picture = test::WritePicture(dir, "picture.bmp");
    ProgramRun program;
    program.ui.saveAnswers.push_back((dir / "song.mid").string());

    QCOMPARE(program.Run(picture.string()), 0);
    QCOMPARE(program.ui.prompts.size(), size_t{1});
    QVERIFY(!program.windowExistedAtSavePrompt);
    QVERIFY(program.windowShown);
    QVERIFY(std::filesystem::file_size(dir / "song.mid") > 14);
    QVERIFY(program.state.song.tracks.empty());
  }

  void tailWithAnotherExtensionConvertsNothing_data() {
    QTest::addColumn<QString>("tail");
    QTest::newRow("mixed case") << "picture.Bmp";
    QTest::newRow("quoted") << "\"picture.bmp\"";
    QTest::newRow("empty") << "";
  }

  void tailWithAnotherExtensionConvertsNothing() {
    QFETCH(QString, tail);
    test::TempDir dir;
    const test::ScopedCurrentDirectory cwd(dir.path());
    test::WritePicture(dir, "picture.Bmp");
    ProgramRun program;
    QCOMPARE(program.Run(tail.toStdString()), 0);
    QVERIFY(program.ui.prompts.empty());
    QVERIFY(program.ui.messages.empty());
    QVERIFY(program.windowShown);
  }

  void withoutASettingsFileTheDefaultsAreUsedAndSavedAtExit() {
    test::TempDir dir;
    const test::ScopedCurrentDirectory cwd(dir.path());
    ProgramRun program;
    QCOMPARE(program.Run(""), 0);
    const ConversionSettings& s = program.state.settings;
    QCOMPARE(s.sustain, 16u);
    QCOMPARE(s.tempo, 120u);
    QCOMPARE(s.resolution, 768);
    QCOMPARE(s.rangeHigh, 255);
    QCOMPARE(std::filesystem::path(s.settingsDirectory), std::filesystem::current_path());
    QCOMPARE(test::ReadFileBytes(dir / "setting.set"),
             (std::vector<uint8_t>{0x00, 0x10, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x03, 0x00, 0x00, 0xFF}));
  }

  void storedSettingsAreLoadedInsteadOfTheDefaults() {
    test::TempDir dir;
    const test::ScopedCurrentDirectory cwd(dir.path());
    const std::vector<uint8_t> stored = {0x05, 0x08, 0x00, 0x00, 0x00, 0x5A, 0x00, 0x00,
                                         0x00, 0x01, 0xE0, 0x01, 0x01, 0x28, 0x5A};
    test::WriteFileBytes(dir / "setting.set", stored);
    ProgramRun program;
    QCOMPARE(program.Run(""), 0);
    QCOMPARE(program.state.settings.scaleIndex, 5);
    QCOMPARE(program.state.settings.tempo, 90u);
    QCOMPARE(program.state.settings.resolution, 480);
    QCOMPARE(test::ReadFileBytes(dir / "setting.set"), stored);
  }

  // Qt's own texts, such as the Yes and No of the save dialog's question before a file is
  // replaced, speak Japanese like the program's texts.
  void qtsOwnButtonsAreJapaneseWhileTheProgramRuns() {
    test::TempDir dir;
    const test::ScopedCurrentDirectory cwd(dir.path());
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
      QMessageBox box;
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      texts << box.button(QMessageBox::Yes)->text() << box.button(QMessageBox::No)->text();
    });
    ProgramRun program;
    QCOMPARE(program.Run(""), 0);
    QCOMPARE(texts, QStringList({QString::fromUtf8("はい(&Y)"), QString::fromUtf8("いいえ(&N)")}));
  }
};

}  // namespace pixorale

QTEST_MAIN(pixorale::ProgramEntryTest)
#include "program_entry_test.moc"
