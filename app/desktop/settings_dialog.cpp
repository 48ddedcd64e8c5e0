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

// The template's size in dialog units; controls stand at their template positions.
constexpr DialogRect kTemplate{RECT_SETTINGS_DIALOG};
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

  auto button = [&](std::string_view text, const char* name, DialogRect rect) {
    auto* b = new QPushButton(Text(text), this);
    b->setObjectName(name);
    units.Place(*b, rect, Grow::kCentred);
    return b;
  };
  auto label = [&](std::string_view text, DialogRect rect) {
    auto* l = new QLabel(Text(text), this);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    units.Place(*l, rect, Grow::kCentred);
    return l;
  };
  auto edit = [&](const char* name, DialogRect rect) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setValidator(digitsOnly);
    units.Place(*e, rect, Grow::kNone);
    return e;
  };
  auto radio = [&](std::string_view text, const char* name, DialogRect rect) {
    auto* r = new QRadioButton(Text(text), this);
    r->setObjectName(name);
    units.Place(*r, rect, Grow::kRightward);
    return r;
  };

  // Creation order is the template's order, which is also the tab order.
  okButton_ = button(texts::kOk, "okButton", {RECT_SETTINGS_OK});
  okButton_->setDefault(true);
  cancelButton_ = button(texts::kCancel, "cancelButton", {RECT_SETTINGS_CANCEL});

  scaleList_ = new QComboBox(this);
  scaleList_->setObjectName("scaleList");
  for (std::string_view name : texts::kScaleNames) scaleList_->addItem(Text(name));
  // The template's height is that of the open list; closed, it is as high as a button.
  DialogRect scaleList{RECT_SCALE_LIST};
  scaleList.height = DialogRect{RECT_SETTINGS_OK}.height;
  units.Place(*scaleList_, scaleList, Grow::kCentred);

  label(texts::kScaleLabel, {RECT_SCALE_LABEL});
  label(texts::kSustainLabel, {RECT_SUSTAIN_LABEL});
  sustainEdit_ = edit("sustainEdit", {RECT_SUSTAIN});
  label(texts::kTempoLabel, {RECT_TEMPO_LABEL});
  tempoEdit_ = edit("tempoEdit", {RECT_TEMPO});
  beatUnits_ = radio(texts::kBeatUnits, "beatUnits", {RECT_BEAT_UNITS});
  millisecondUnits_ = radio(texts::kMillisecondUnits, "millisecondUnits", {RECT_MILLISECOND_UNITS});
  resolutionEdit_ = edit("resolutionEdit", {RECT_RESOLUTION});
  label(texts::kResolutionLabel, {RECT_RESOLUTION_LABEL});
  singleNotes_ = radio(texts::kSingleNotes, "singleNotes", {RECT_SINGLE_NOTES});
  withChords_ = radio(texts::kWithChords, "withChords", {RECT_WITH_CHORDS});
  rangeOn_ = radio(texts::kRangeOn, "rangeOn", {RECT_RANGE_ON});
  rangeOff_ = radio(texts::kRangeOff, "rangeOff", {RECT_RANGE_OFF});
  rangeLowEdit_ = edit("rangeLowEdit", {RECT_RANGE_LOW});
  rangeHighEdit_ = edit("rangeHighEdit", {RECT_RANGE_HIGH});
  label(texts::kRangeHighLabel, {RECT_RANGE_HIGH_LABEL});
  label(texts::kRangeLowLabel, {RECT_RANGE_LOW_LABEL});
  label(texts::kRangeLabel, {RECT_RANGE_LABEL});

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

  const QSize templateSize = units.ToPixels(kTemplate.width, kTemplate.height);
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
