#include "app/desktop/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/desktop/dialog_units.h"
#include "app/desktop/program_icon.h"
#include "app/desktop/qt_text.h"
#include "app/ui_texts.h"

namespace pixorale {
namespace {

// The template's size in dialog units, in a 24-point font.
constexpr DialogRect kTemplate{RECT_ABOUT_DIALOG};
constexpr int kFontPoints = 24;
constexpr int kMarginUnits = 7;
constexpr int kMinIconPixels = 32;

using Grow = DialogUnits::Grow;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("about");
  setWindowTitle(ToQString(texts::kProgramName));
  // A caption without a window menu, so there is no close button.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
  QFont large = font();
  large.setPointSize(kFontPoints);
  setFont(large);
  const DialogUnits units(large);

  auto* ok = new QPushButton(ToQString(texts::kOk), this);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  units.Place(*ok, {RECT_ABOUT_OK}, Grow::kCentred);
  ok->resize(ok->width(), std::max(ok->height(), ok->sizeHint().height()));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* name =
      new QLabel(ToQString(texts::kProgramName) + "\n" + ToQString(texts::kVersionLine), this);
  name->setObjectName("versionText");
  units.Place(*name, {RECT_ABOUT_TEXT}, Grow::kRightward);
  name->resize(name->width(), std::max(name->height(), name->sizeHint().height()));

  // The icon's cell reaches under the text; the icon fills it only up to the text, and is
  // never smaller than the usual 32 pixels.
  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  const QRect iconCell = units.ToPixels(DialogRect{RECT_ABOUT_ICON});
  const int roomBeforeText = name->x() - iconCell.left() - units.ToPixels(2, 0).width();
  const int iconSide = std::max(kMinIconPixels, std::min(iconCell.height(), roomBeforeText));
  icon->setPixmap(ProgramIcon().pixmap(iconSide, iconSide));
  icon->setGeometry(iconCell.left(), iconCell.top(), iconSide, iconSide);

  // The text may need more room in this font than the template gives; keep the button clear.
  if (ok->geometry().top() <= name->geometry().bottom()) {
    ok->move(ok->x(), name->geometry().bottom() + units.ToPixels(0, 2).height());
  }
  const QSize templateSize = units.ToPixels(kTemplate.width, kTemplate.height);
  setFixedSize(FittedDialogSize(*this, templateSize, units.ToPixels(kMarginUnits, 0).width()));
  ok->setFocus();
}

}  // namespace pixorale
