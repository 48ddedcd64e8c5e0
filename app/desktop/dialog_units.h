#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include "app/dialog_rect.h"

class QWidget;

namespace pixorale {

// Lays out a dialog from template geometry in dialog units: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

  // Places a control at its template position. A control whose text needs more room than
  // the template gives grows about its centre or to the right; an edit keeps its size.
  enum class Grow { kNone, kCentred, kRightward };
  void Place(QWidget& control, int x, int y, int width, int height, Grow grow) const;
  void Place(QWidget& control, DialogRect rect, Grow grow) const {
    Place(control, rect.x, rect.y, rect.width, rect.height, grow);
  }
  QRect ToPixels(DialogRect rect) const {
    return ToPixels(rect.x, rect.y, rect.width, rect.height);
  }

 private:
  int baseWidth_;
  int baseHeight_;
};

// The size that holds every child with the template's margin, at least the template's size.
QSize FittedDialogSize(const QWidget& dialog, QSize templateSize, int margin);

}  // namespace pixorale
