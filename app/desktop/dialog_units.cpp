#include "app/desktop/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace pixorale {
namespace {

constexpr int kAlphabetLength = 52;

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average is taken over the Latin alphabet, rounded, as dialog templates assume.
  const int alphabet =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseWidth_ = std::max(1, (alphabet + kAlphabetLength / 2) / kAlphabetLength);
  baseHeight_ = std::max(1, metrics.height());
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return {x * baseWidth_ / 4, y * baseHeight_ / 8, width * baseWidth_ / 4,
          height * baseHeight_ / 8};
}

QSize DialogUnits::ToPixels(int width, int height) const {
  return {width * baseWidth_ / 4, height * baseHeight_ / 8};
}

void DialogUnits::Place(QWidget& control, int x, int y, int width, int height, Grow grow) const {
  QRect rect = ToPixels(x, y, width, height);
  const int needed = control.sizeHint().width();
  if (grow != Grow::kNone && needed > rect.width()) {
    const int extra = needed - rect.width();
    if (grow == Grow::kCentred) rect.moveLeft(std::max(0, rect.left() - extra / 2));
    rect.setWidth(needed);
  }
  control.setGeometry(rect);
}

QSize FittedDialogSize(const QWidget& dialog, QSize templateSize, int margin) {
  QSize size = templateSize;
  for (const QObject* child : dialog.children()) {
    const auto* widget = qobject_cast<const QWidget*>(child);
    if (widget == nullptr || widget->isWindow()) continue;
    size.setWidth(std::max(size.width(), widget->geometry().right() + 1 + margin));
    size.setHeight(std::max(size.height(), widget->geometry().bottom() + 1 + margin));
  }
  return size;
}

}  // namespace pixorale
