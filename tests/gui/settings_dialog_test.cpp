#include "app/desktop/settings_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

#include "app/ui_texts.h"
#include "gui_test_helpers.h"

namespace pixorale {
namespace {

using test::Q;

// The settings dialog over settings kept in a scratch directory, shown as a user sees it.
struct Fixture {
  test::TempDir dir;
  ConversionSettings settings = test::DefaultSettingsIn(dir.path());
  test::ScriptedUi ui;
  std::optional<SettingsDialog> dialog;

  SettingsDialog& Open() {
    dialog.emplace(settings, ui);
    dialog->show();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(&*dialog);
    return *dialog;
  }

  template <typename W>
  W& Control(const char* name) {
    W* widget = dialog->findChild<W*>(name);
    if (widget == nullptr) qFatal("no control %s", name);
    return *widget;
  }
  QLineEdit& Edit(const char* name) { return Control<QLineEdit>(name); }
  QRadioButton& Radio(const char* name) { return Control<QRadioButton>(name); }
  QComboBox& Scales() { return Control<QComboBox>("scaleList"); }

  void Type(const char* editName, const QString& text) {
    QLineEdit& edit = Edit(editName);
    edit.clear();
    QTest::keyClicks(&edit, text);
  }
  void ClickOk() { QTest::mouseClick(&Control<QPushButton>("okButton"), Qt::LeftButton); }

  bool SettingsFileWritten() const { return std::filesystem::exists(dir / "setting.set"); }
};

void ExpectSameSettings(const ConversionSettings& actual, const ConversionSettings& expected) {
  QCOMPARE(test::SettingsBytes(actual), test::SettingsBytes(expected));
  QCOMPARE(actual.settingsDirectory, expected.settingsDirectory);
}

}  // namespace

class SettingsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheDefaults() {
    Fixture f;
    SettingsDialog& dialog = f.Open();
    QCOMPARE(dialog.windowTitle(), Q(texts::kSettingsTitle));
    QCOMPARE(f.Scales().currentIndex(), 0);
    QCOMPARE(f.Scales().currentText(), Q(texts::kScaleNames[0]));
    QCOMPARE(f.Edit("sustainEdit").text(), QString("16"));
    QCOMPARE(f.Edit("tempoEdit").text(), QString("120"));
    QCOMPARE(f.Edit("resolutionEdit").text(), QString("768"));
    QVERIFY(f.Radio("beatUnits").isChecked());
    QVERIFY(!f.Radio("millisecondUnits").isChecked());
    QVERIFY(f.Radio("singleNotes").isChecked());
    QVERIFY(!f.Radio("withChords").isChecked());
    QVERIFY(!f.Radio("rangeOn").isChecked());
    QVERIFY(f.Radio("rangeOff").isChecked());
    for (const char* name : {"rangeLowEdit", "rangeHighEdit"}) {
      QVERIFY(f.Edit(name).text().isEmpty());
      QVERIFY(!f.Edit(name).isEnabled());
    }
    auto& ok = f.Control<QPushButton>("okButton");
    QVERIFY(ok.isDefault());
    QCOMPARE(dialog.focusWidget(), &ok);
  }

  void showsEveryTextAndTheScalesInOrder() {
    Fixture f;
    SettingsDialog& dialog = f.Open();
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels.append(label->text());
    for (std::string_view text :
         {texts::kScaleLabel, texts::kSustainLabel, texts::kTempoLabel, texts::kResolutionLabel,
          texts::kRangeHighLabel, texts::kRangeLowLabel, texts::kRangeLabel}) {
      QVERIFY2(labels.contains(Q(text)), text.data());
    }
    QCOMPARE(labels.size(), 7);
    QCOMPARE(f.Control<QPushButton>("okButton").text(), Q(texts::kOk));
    QCOMPARE(f.Control<QPushButton>("cancelButton").text(), Q(texts::kCancel));
    QCOMPARE(f.Radio("beatUnits").text(), Q(texts::kBeatUnits));
    QCOMPARE(f.Radio("millisecondUnits").text(), Q(texts::kMillisecondUnits));
    QCOMPARE(f.Radio("singleNotes").text(), Q(texts::kSingleNotes));
    QCOMPARE(f.Radio("withChords").text(), Q(texts::kWithChords));
    QCOMPARE(f.Radio("rangeOn").text(), Q(texts::kRangeOn));
    QCOMPARE(f.Radio("rangeOff").text(), Q(texts::kRangeOff));
    QVERIFY(!f.Scales().isEditable());
    QCOMPARE(f.Scales().count(), 9);
    for (int i = 0; i < 9; ++i) QCOMPARE(f.Scales().itemText(i), Q(texts::kScaleNames[i]));
  }

  void tabOrderFollowsTheTemplate() {
    Fixture f;
    SettingsDialog& dialog = f.Open();
    const QStringList expected = {
        "okButton",  "cancelButton",     "scaleList",      "sustainEdit",  "tempoEdit",
        "beatUnits", "millisecondUnits", "resolutionEdit", "singleNotes",  "withChords",
        "rangeOn",   "rangeOff",         "rangeLowEdit",   "rangeHighEdit"};
    QStringList order;
    QWidget* widget = &f.Control<QPushButton>("okButton");
    do {
      if (expected.contains(widget->objectName())) order.append(widget->objectName());
      widget = widget->nextInFocusChain();
    } while (widget != &f.Control<QPushButton>("okButton") && widget != &dialog);
    QCOMPARE(order, expected);
  }

  void opensOnAStoredRange() {
    Fixture f;
    f.settings.rangeLow = 40;
    f.settings.rangeHigh = 90;
    f.Open();
    QVERIFY(f.Radio("rangeOn").isChecked());
    QVERIFY(!f.Radio("rangeOff").isChecked());
    QVERIFY(f.Edit("rangeLowEdit").isEnabled());
    QVERIFY(f.Edit("rangeHighEdit").isEnabled());
    QCOMPARE(f.Edit("rangeLowEdit").text(), QString("40"));
    QCOMPARE(f.Edit("rangeHighEdit").text(), QString("90"));
  }

  void scaleIndexPastTheListSelectsNothingAndStores255() {
    Fixture f;
    f.settings.scaleIndex = 12;
    f.Open();
    QCOMPARE(f.Scales().currentIndex(), -1);
    f.ClickOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.settings.scaleIndex, 255);
    QCOMPARE(test::ReadFileBytes(f.dir / "setting.set").at(0), 0xFF);
  }

  void enteredRangeIsStoredAndSavedAtOnce() {
    Fixture f;
    f.Open();
    QTest::mouseClick(&f.Radio("rangeOn"), Qt::LeftButton);
    f.Type("rangeLowEdit", "40");
    f.Type("rangeHighEdit", "90");
    f.ClickOk();
    QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.settings.rangeLow, 40);
    QCOMPARE(f.settings.rangeHigh, 90);
    QCOMPARE(test::ReadFileBytes(f.dir / "setting.set"), test::SettingsBytes(f.settings));

    f.Open();  // and it comes back
    QVERIFY(f.Radio("rangeOn").isChecked());
    QCOMPARE(f.Edit("rangeLowEdit").text(), QString("40"));
  }

  void rangeWithoutRoomMeansNoRange_data() {
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::newRow("lower above upper") << "90"
                                       << "40";
    QTest::newRow("equal") << "60"
                           << "60";
  }

  void rangeWithoutRoomMeansNoRange() {
    QFETCH(QString, low);
    QFETCH(QString, high);
    Fixture f;
    f.Open();
    QTest::mouseClick(&f.Radio("rangeOn"), Qt::LeftButton);
    f.Type("rangeLowEdit", low);
    f.Type("rangeHighEdit", high);
    f.ClickOk();
    QCOMPARE(f.settings.rangeLow, 0);
    QCOMPARE(f.settings.rangeHigh, 255);
    f.Open();
    QVERIFY(f.Radio("rangeOff").isChecked());
  }

  void resolutionIsCutTo16Bits() {
    Fixture f;
    f.Open();
    f.Type("resolutionEdit", "70000");
    f.ClickOk();
    QCOMPARE(f.settings.resolution, 4464);
  }

  void everyControlIsStored() {
    Fixture f;
    f.Open();
    f.Scales().setCurrentIndex(7);
    f.Type("sustainEdit", "0");
    f.Type("tempoEdit", "1");
    QTest::mouseClick(&f.Radio("millisecondUnits"), Qt::LeftButton);
    QTest::mouseClick(&f.Radio("withChords"), Qt::LeftButton);
    f.ClickOk();
    QCOMPARE(f.settings.scaleIndex, 7);
    QCOMPARE(f.settings.sustain, 0u);
    QCOMPARE(f.settings.tempo, 1u);
    QCOMPARE(f.settings.timingMode, 1);
    QCOMPARE(f.settings.chordMode, 1);
    QVERIFY(f.ui.messages.empty());
  }

  void zeroTempoIsRefusedAndTheDialogStaysOpen() {
    Fixture f;
    const ConversionSettings before = f.settings;
    SettingsDialog& dialog = f.Open();
    f.Type("sustainEdit", "8");
    f.Type("tempoEdit", "0");
    f.ClickOk();

    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].text, std::string(texts::kTempoMustBePositive));
    QCOMPARE(f.ui.messages[0].caption, std::string("error"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), &f.Edit("tempoEdit"));
    ExpectSameSettings(f.settings, before);
    QVERIFY(!f.SettingsFileWritten());

    f.Type("tempoEdit", "1");
    f.ClickOk();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(f.settings.tempo, 1u);
    QCOMPARE(f.settings.sustain, 8u);
  }

  void cancelEscapeAndCloseChangeNothingAndWriteNothing_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
  }

  void cancelEscapeAndCloseChangeNothingAndWriteNothing() {
    QFETCH(int, way);
    Fixture f;
    const ConversionSettings before = f.settings;
    SettingsDialog& dialog = f.Open();
    f.Scales().setCurrentIndex(3);
    f.Type("sustainEdit", "5");
    f.Type("tempoEdit", "77");
    f.Type("resolutionEdit", "480");
    QTest::mouseClick(&f.Radio("millisecondUnits"), Qt::LeftButton);
    QTest::mouseClick(&f.Radio("withChords"), Qt::LeftButton);
    QTest::mouseClick(&f.Radio("rangeOn"), Qt::LeftButton);
    f.Type("rangeLowEdit", "10");
    f.Type("rangeHighEdit", "20");
    if (way == 0) QTest::mouseClick(&f.Control<QPushButton>("cancelButton"), Qt::LeftButton);
    if (way == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
    if (way == 2) dialog.close();

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    ExpectSameSettings(f.settings, before);
    QVERIFY(!f.SettingsFileWritten());
  }

  void enterInAnEditStoresLikeOk() {
    Fixture f;
    SettingsDialog& dialog = f.Open();
    f.Type("tempoEdit", "90");
    QTest::keyClick(&f.Edit("tempoEdit"), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.settings.tempo, 90u);
  }

  void rangeButtonsExcludeEachOtherAndSwitchTheEdits() {
    Fixture f;
    f.settings.rangeLow = 40;
    f.settings.rangeHigh = 90;
    f.Open();
    QTest::mouseClick(&f.Radio("rangeOff"), Qt::LeftButton);
    QVERIFY(!f.Radio("rangeOn").isChecked());
    QVERIFY(!f.Edit("rangeLowEdit").isEnabled());
    QVERIFY(!f.Edit("rangeHighEdit").isEnabled());
    QCOMPARE(f.Edit("rangeLowEdit").text(), QString("40"));  // kept while disabled
    // The other pairs are groups of their own.
    QVERIFY(f.Radio("beatUnits").isChecked());
    QVERIFY(f.Radio("singleNotes").isChecked());

    QTest::mouseClick(&f.Radio("rangeOn"), Qt::LeftButton);
    QVERIFY(!f.Radio("rangeOff").isChecked());
    QVERIFY(f.Edit("rangeHighEdit").isEnabled());
    QTest::mouseClick(&f.Radio("rangeOn"), Qt::LeftButton);  // clicking again keeps it checked
    QVERIFY(f.Radio("rangeOn").isChecked());

    QTest::mouseClick(&f.Radio("rangeOff"), Qt::LeftButton);
    f.ClickOk();
    QCOMPARE(f.settings.rangeLow, 0);
    QCOMPARE(f.settings.rangeHigh, 255);
  }

  void editsTakeDigitsOnly() {
    Fixture f;
    f.Open();
    f.Type("sustainEdit", "1a2- 3+");
    QCOMPARE(f.Edit("sustainEdit").text(), QString("123"));
  }
};

}  // namespace pixorale

QTEST_MAIN(pixorale::SettingsDialogTest)
#include "settings_dialog_test.moc"
