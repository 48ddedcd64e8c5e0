#pragma once

#include <QDialog>

#include "app/conversion_settings.h"
#include "app/conversion_ui.h"
#include "app/settings_form.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pixorale {

// Dialog 102: shows the conversion settings on opening and, on OK, stores the controls into
// them and saves them at once. Cancel, Escape and the close button leave them as they were.
class SettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  // Messages (the refused tempo) go through `ui`.
  SettingsDialog(ConversionSettings& settings, ConversionUi& ui, QWidget* parent = nullptr);

  // The controls as they stand.
  SettingsForm Form() const;

 private:
  void BuildControls();
  void ShowForm(const SettingsForm& form);
  void StoreAndClose();
  void EnableRangeEdits(bool enabled);

  ConversionSettings& settings_;
  ConversionUi& ui_;

  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QComboBox* scaleList_ = nullptr;
  QLineEdit* sustainEdit_ = nullptr;
  QLineEdit* tempoEdit_ = nullptr;
  QRadioButton* beatUnits_ = nullptr;
  QRadioButton* millisecondUnits_ = nullptr;
  QLineEdit* resolutionEdit_ = nullptr;
  QRadioButton* singleNotes_ = nullptr;
  QRadioButton* withChords_ = nullptr;
  QRadioButton* rangeOn_ = nullptr;
  QRadioButton* rangeOff_ = nullptr;
  QLineEdit* rangeLowEdit_ = nullptr;
  QLineEdit* rangeHighEdit_ = nullptr;
};

}  // namespace pixorale
