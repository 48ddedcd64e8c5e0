#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "app/desktop/qt_conversion_ui.h"
#include "app/ui_texts.h"
#include "gui_test_helpers.h"

namespace pixorale {
namespace {

using test::Q;

// The file-type choices the dialog shows, as the user reads them.
QStringList ShownFilters(QFileDialog& dialog) {
  auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
  QStringList shown;
  if (combo == nullptr) return shown;
  for (int i = 0; i < combo->count(); ++i) shown.append(combo->itemText(i));
  return shown;
}

// The patterns that decide which files the dialog lists.
QStringList ListedPatterns(QFileDialog& dialog) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  return model != nullptr ? model->nameFilters() : QStringList();
}

// Types a name into the dialog's name field and confirms, as a user would.
void TypeAndConfirm(QFileDialog* dialog, const QString& directory, const QString& name) {
  dialog->setDirectory(directory);
  auto* nameField = dialog->findChild<QLineEdit*>("fileNameEdit");
  QVERIFY(nameField != nullptr);
  nameField->setText(name);
  QTest::keyClick(nameField, Qt::Key_Return);
}

}  // namespace

class FilePromptsTest : public QObject {
  Q_OBJECT

 private slots:
  void openDialogShowsTheBmpFilterAndWantsAnExistingFile() {
    QFileDialog dialog;
    ConfigureOpenDialog(dialog, texts::kBmpFilter, texts::kBmpExtension);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(ShownFilters(dialog), QStringList{"BMPファイル{*.bmp}"});
    QCOMPARE(ListedPatterns(dialog), QStringList{"*.bmp"});
    QCOMPARE(dialog.defaultSuffix(), QString("bmp"));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
  }

  void saveDialogShowsTheMidiFilterAndAsksBeforeOverwriting() {
    QFileDialog dialog;
    ConfigureSaveDialog(dialog, texts::kMidiFilter, texts::kMidiExtension);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(ShownFilters(dialog), QStringList{"MIDIファイル{*.mid}"});
    QCOMPARE(ListedPatterns(dialog), QStringList{"*.mid"});
    QCOMPARE(dialog.defaultSuffix(), QString("mid"));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
  }

  void openPromptAddsTheDefaultSuffixToATypedName() {
    test::TempDir dir;
    test::WritePicture(dir, "picture.bmp");
    const QString directory = FromNativePath(dir.path().string());
    QtConversionUi ui;
    test::WhenModalOpens<QFileDialog>(
        [&](QFileDialog* dialog) { TypeAndConfirm(dialog, directory, "picture"); });
    const std::optional<std::string> path = ui.PromptOpenFile(texts::kBmpFilter, "bmp");
    QVERIFY(path.has_value());
    QCOMPARE(std::filesystem::path(*path), dir / "picture.bmp");
  }

  void openPromptRefusesAMissingFile() {
    test::TempDir dir;
    const QString directory = FromNativePath(dir.path().string());
    QtConversionUi ui;
    bool warned = false;
    bool stillOpen = false;
    test::WhenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
      test::WhenModalOpens<QMessageBox>([&](QMessageBox* warning) {
        warned = true;
        warning->accept();
      });
      TypeAndConfirm(dialog, directory, "missing.bmp");
      stillOpen = dialog->isVisible();
      dialog->reject();
    });
    QVERIFY(!ui.PromptOpenFile(texts::kBmpFilter, "bmp").has_value());
    QVERIFY(warned);
    QVERIFY(stillOpen);
  }

  void cancelledPromptGivesNothing() {
    QtConversionUi ui;
    test::WhenModalOpens<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!ui.PromptSaveFile(texts::kMidiFilter, "mid").has_value());
  }

  void savePromptAddsTheDefaultSuffix() {
    test::TempDir dir;
    const QString directory = FromNativePath(dir.path().string());
    QtConversionUi ui;
    test::WhenModalOpens<QFileDialog>(
        [&](QFileDialog* dialog) { TypeAndConfirm(dialog, directory, "song"); });
    const std::optional<std::string> path = ui.PromptSaveFile(texts::kMidiFilter, "mid");
    QVERIFY(path.has_value());
    QCOMPARE(std::filesystem::path(*path), dir / "song.mid");
  }

  void savePromptAsksBeforeReplacingAFile() {
    test::TempDir dir;
    test::WriteFileBytes(dir / "song.mid", {1, 2, 3});
    const QString directory = FromNativePath(dir.path().string());
    QtConversionUi ui;
    bool asked = false;
    test::WhenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
      test::WhenModalOpens<QMessageBox>([&](QMessageBox* question) {
        asked = true;
        question->button(QMessageBox::Yes)->click();
      });
      TypeAndConfirm(dialog, directory, "song.mid");
    });
    const std::optional<std::string> path = ui.PromptSaveFile(texts::kMidiFilter, "mid");
    QVERIFY(asked);
    QVERIFY(path.has_value());
    QCOMPARE(std::filesystem::path(*path), dir / "song.mid");
  }

  void messageBoxShowsTextAndCaptionWithOkOnly() {
    QMessageBox box;
    ConfigureMessageBox(box, texts::kNot24Bit, texts::kErrorCaption);
    QCOMPARE(box.text(), QString("24ビット画像を使用してください"));
    QCOMPARE(box.windowTitle(), QString("error"));
    QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.windowModality(), Qt::ApplicationModal);
  }

  void showMessageWaitsUntilOkIsPressed() {
    QtConversionUi ui;
    QString shownText;
    test::WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
      shownText = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    ui.ShowMessage(texts::kCannotSaveMidi, texts::kErrorCaption);
    QCOMPARE(shownText, Q(texts::kCannotSaveMidi));
  }
};

}  // namespace pixorale

QTEST_MAIN(pixorale::FilePromptsTest)
#include "file_prompts_test.moc"
