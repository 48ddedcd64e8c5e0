#include "app/desktop/settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "app/desktop/dialog_units.h"
#include "app/desktop/qt_text.h"
#include "app/ui_texts.h"

namespace pixorale {
namespace {

// The template: 186 by 300 dialog units, controls at their template positions.
constexpr int kTemplateWidth = 186;
constexpr int kTemplateHeight = 300;
constexpr int kMarginUnits = 7;

using Grow = DialogUnits::Grow;

QString Text(std::string_view text) {
  return ToQString(text);
}

std::string Text(const QLineEdit& edit) {
  return edit.text().toStdString();
}

}  // namespace

SettingsDialog::SettingsDialog(ConversionSettings& settings, ConversionUi& ui, QWidget* parent)
    : QDialog(parent), settings_(settings), ui_(ui) {
  setObjectName("conversionSettings");
  setWindowTitle(Text(texts::kSettingsTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);
  BuildControls();
  ShowForm(FormFromSettings(settings_));
  okButton_->setFocus();
}

void SettingsDialog::BuildControls() {
  const DialogUnits units(font());
  auto* digitsOnly = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);

  auto button = [&](std::string_view text, const char* name, int x, int y) {
    auto* b = new QPushButton(Text(text), this);
    b->setObjectName(name);
    units.Place(*b, x, y, 50, 14, Grow::kCentred);
    return b;
  };
  auto label = [&](std::string_view text, int x, int y, int w, int h) {
    auto* l = new QLabel(Text(text), this);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    units.Place(*l, x, y, w, h, Grow::kCentred);
    return l;
  };
  auto edit = [&](const char* name, int x, int y) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setValidator(digitsOnly);
    units.Place(*e, x, y, 38, 15, Grow::kNone);
    return e;
  };
  auto radio = [&](std::string_view text, const char* name, int x, int y, int w) {
    auto* r = new QRadioButton(Text(text), this);
    r->setObjectName(name);
    units.Place(*r, x, y, w, 15, Grow::kRightward);
    return r;
  };

  // Creation order is the template's order, which is also the tab order.
  okButton_ = button(texts::kOk, "okButton", 34, 279);
  okButton_->setDefault(true);
  cancelButton_ = button(texts::kCancel, "cancelButton", 100, 279);

  scaleList_ = new QComboBox(this);
  scaleList_->setObjectName("scaleList");
  for (std::string_view name : texts::kScaleNames) scaleList_->addItem(Text(name));
  units.Place(*scaleList_, 28, 20, 129, 14, Grow::kCentred);

  label(texts::kScaleLabel, 68, 7, 49, 12);
  label(texts::kSustainLabel, 42, 41, 101, 13);
  sustainEdit_ = edit("sustainEdit", 73, 53);
  label(texts::kTempoLabel, 82, 71, 21, 13);
  tempoEdit_ = edit("tempoEdit", 73, 82);
  beatUnits_ = radio(texts::kBeatUnits, "beatUnits", 69, 103, 47);
  millisecondUnits_ = radio(texts::kMillisecondUnits, "millisecondUnits", 69, 115, 47);
  resolutionEdit_ = edit("resolutionEdit", 73, 145);
  label(texts::kResolutionLabel, 58, 133, 69, 13);
  singleNotes_ = radio(texts::kSingleNotes, "singleNotes", 69, 167, 47);
  withChords_ = radio(texts::kWithChords, "withChords", 69, 179, 54);
  rangeOn_ = radio(texts::kRangeOn, "rangeOn", 49, 212, 80);
  rangeOff_ = radio(texts::kRangeOff, "rangeOff", 49, 225, 87);
  rangeLowEdit_ = edit("rangeLowEdit", 39, 257);
  rangeHighEdit_ = edit("rangeHighEdit", 109, 257);
  label(texts::kRangeHighLabel, 111, 245, 34, 10);
  label(texts::kRangeLowLabel, 41, 245, 34, 10);
  label(texts::kRangeLabel, 61, 200, 63, 13);

  // Each pair of radio buttons is a group of its own: the three choices are independent.
  for (auto [first, second] :
       {std::pair{beatUnits_, millisecondUnits_}, std::pair{singleNotes_, withChords_},
        std::pair{rangeOn_, rangeOff_}}) {
    auto* group = new QButtonGroup(this);
    group->addButton(first);
    group->addButton(second);
  }

  QWidget* tabOrder[] = {okButton_,  cancelButton_,     scaleList_,      sustainEdit_,  tempoEdit_,
                         beatUnits_, millisecondUnits_, resolutionEdit_, singleNotes_,  withChords_,
                         rangeOn_,   rangeOff_,         rangeLowEdit_,   rangeHighEdit_};
  for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::StoreAndClose);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  // The range edits keep their texts while disabled.
  connect(rangeOn_, &QRadioButton::toggled, this, &SettingsDialog::EnableRangeEdits);

  const QSize templateSize = units.ToPixels(kTemplateWidth, kTemplateHeight);
  setFixedSize(FittedDialogSize(*this, templateSize, units.ToPixels(kMarginUnits, 0).width()));
}

void SettingsDialog::ShowForm(const SettingsForm& form) {
  scaleList_->setCurrentIndex(form.scaleSelection);
  sustainEdit_->setText(ToQString(form.sustainText));
  tempoEdit_->setText(ToQString(form.tempoText));
  resolutionEdit_->setText(ToQString(form.resolutionText));
  (form.beatUnits ? beatUnits_ : millisecondUnits_)->setChecked(true);
  (form.singleNotes ? singleNotes_ : withChords_)->setChecked(true);
  (form.rangeGiven ? rangeOn_ : rangeOff_)->setChecked(true);
  rangeLowEdit_->setText(ToQString(form.rangeLowText));
  rangeHighEdit_->setText(ToQString(form.rangeHighText));
  EnableRangeEdits(form.rangeGiven);
}

SettingsForm SettingsDialog::Form() const {
  SettingsForm form;
  form.scaleSelection = scaleList_->currentIndex();
  form.sustainText = Text(*sustainEdit_);
  form.tempoText = Text(*tempoEdit_);
  form.beatUnits = beatUnits_->isChecked();
  form.resolutionText = Text(*resolutionEdit_);
  form.singleNotes = singleNotes_->isChecked();
  form.rangeGiven = rangeOn_->isChecked();
  form.rangeLowText = Text(*rangeLowEdit_);
  form.rangeHighText = Text(*rangeHighEdit_);
  return form;
}

void SettingsDialog::StoreAndClose() {
  if (StoreForm(Form(), settings_) == StoreResult::kTempoNotPositive) {
    ui_.ShowMessage(texts::kTempoMustBePositive, texts::kErrorCaption);
    tempoEdit_->setFocus();
    tempoEdit_->selectAll();
    return;
  }
  // A failed save is not reported; the new values stay in use for this run.
  settings_.SaveSettings();
  accept();
}

void SettingsDialog::EnableRangeEdits(bool enabled) {
  rangeLowEdit_->setEnabled(enabled);
  rangeHighEdit_->setEnabled(enabled);
}

}  // namespace pixorale
