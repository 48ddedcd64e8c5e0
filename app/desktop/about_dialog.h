#pragma once

#include <QDialog>

namespace pixorale {

// Dialog 103: the program's icon, name and version. Only OK (or Enter) closes it: it has no
// close button, and Escape does nothing.
class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // Escape and close requests end up here; the box stays open.
  void reject() override {}
};

}  // namespace pixorale
