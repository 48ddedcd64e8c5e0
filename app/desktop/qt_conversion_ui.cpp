#include "app/desktop/qt_conversion_ui.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "app/desktop/qt_text.h"

namespace pixorale {
namespace {

void ConfigureFileDialog(QFileDialog& dialog, const FileFilter& filter,
                         std::string_view defaultExtension) {
  // The same dialog everywhere, whatever the desktop offers natively.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Qt reads the patterns from the parentheses and, with the details hidden, shows only
  // the display name, braces and all.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilter(ToQString(filter.displayName) + " (" + ToQString(filter.pattern) + ")");
  dialog.setDefaultSuffix(ToQString(defaultExtension));
  dialog.setWindowModality(Qt::ApplicationModal);
}

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return ToNativePath(files.front());
}

}  // namespace

void ConfigureOpenDialog(QFileDialog& dialog, const FileFilter& filter,
                         std::string_view defaultExtension) {
  ConfigureFileDialog(dialog, filter, defaultExtension);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
}

void ConfigureSaveDialog(QFileDialog& dialog, const FileFilter& filter,
                         std::string_view defaultExtension) {
  ConfigureFileDialog(dialog, filter, defaultExtension);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
}

void ConfigureMessageBox(QMessageBox& box, std::string_view text, std::string_view caption) {
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(ToQString(caption));
  box.setText(ToQString(text));
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
}

std::optional<std::string> QtConversionUi::PromptOpenFile(const FileFilter& filter,
                                                          std::string_view defaultExtension) {
  QFileDialog dialog;
  ConfigureOpenDialog(dialog, filter, defaultExtension);
  return RunFileDialog(dialog);
}

std::optional<std::string> QtConversionUi::PromptSaveFile(const FileFilter& filter,
                                                          std::string_view defaultExtension) {
  QFileDialog dialog;
  ConfigureSaveDialog(dialog, filter, defaultExtension);
  return RunFileDialog(dialog);
}

void QtConversionUi::ShowMessage(std::string_view text, std::string_view caption) {
  QMessageBox box;
  ConfigureMessageBox(box, text, caption);
  box.exec();
}

}  // namespace pixorale
