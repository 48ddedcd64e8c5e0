#include "app/desktop/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/ui_texts.h"
#include "gui_test_helpers.h"

namespace pixorale {

class AboutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheIconNameAndVersion() {
    AboutDialog box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.windowTitle(), QString("Pixorale"));
    const auto* text = box.findChild<QLabel*>("versionText");
    QVERIFY(text != nullptr);
    QCOMPARE(text->text(), QString("Pixorale\nVer1.0.0.0"));
    const auto* icon = box.findChild<QLabel*>("icon");
    QVERIFY(icon != nullptr);
    QVERIFY(!icon->pixmap().isNull());
    QVERIFY(icon->pixmap().width() >= 32);
    auto* ok = box.findChild<QPushButton*>("okButton");
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), test::Q(texts::kOk));
    QVERIFY(ok->isDefault());
    QCOMPARE(box.focusWidget(), ok);
  }

  void hasACaptionButNoCloseButton() {
    AboutDialog box;
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
  }

  void escapeAndCloseRequestsLeaveItOpen() {
    AboutDialog box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(box.isVisible());
    box.close();
    QVERIFY(box.isVisible());
  }

  void okClosesIt() {
    AboutDialog box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(box.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
  }

  void enterClosesIt() {
    AboutDialog box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Return);
    QVERIFY(!box.isVisible());
  }
};

}  // namespace pixorale

QTEST_MAIN(pixorale::AboutDialogTest)
#include "about_dialog_test.moc"
