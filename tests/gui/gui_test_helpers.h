#pragma once

#include <QApplication>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_settings.h"
#include "app/desktop/qt_text.h"
#include "support/bmp_builder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pixorale::test {

// The settings the program installs when it finds no settings file, kept in `directory`.
inline ConversionSettings DefaultSettingsIn(const std::filesystem::path& directory) {
  ConversionSettings settings;
  settings.InstallDefaults();
  settings.settingsDirectory = directory.string();
  return settings;
}

inline std::vector<uint8_t> SettingsBytes(const ConversionSettings& settings) {
  const auto bytes = settings.ToBytes();
  return {bytes.begin(), bytes.end()};
}

inline QString Q(std::string_view text) {
  return ToQString(text);
}

// A small 24-bit picture that converts to a one-track song.
inline std::filesystem::path WritePicture(const TempDir& dir, const std::string& name) {
  WriteFileBytes(dir / name, MakeMelodyBmp({60, 64, 67}, {10, 10, 10}));
  return dir / name;
}

// A picture with 8 bits per pixel, which the run refuses with a message.
inline std::filesystem::path Write8BitPicture(const TempDir& dir, const std::string& name) {
  BmpBuilder bmp;
  bmp.width = 2;
  bmp.height = 2;
  bmp.bitCount = 8;
  WriteFileBytes(dir / name, bmp.Build());
  return dir / name;
}

// Calls `action` with the next application-modal widget of type W once it is shown, as a
// user would answer a dialog that exec() is waiting on.
template <typename W>
void WhenModalOpens(std::function<void(W*)> action) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    auto* widget = qobject_cast<W*>(QApplication::activeModalWidget());
    if (widget == nullptr || !widget->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(widget);
  });
  timer->start();
}

// A scripted UI that also runs a hook when the save prompt is asked, so a test can act
// while a run waits for its answer.
class HookedUi : public ScriptedUi {
 public:
  std::function<void()> onSavePrompt;

  std::optional<std::string> PromptSaveFile(const FileFilter& filter,
                                            std::string_view defaultExtension) override {
    if (onSavePrompt) onSavePrompt();
    return ScriptedUi::PromptSaveFile(filter, defaultExtension);
  }
};

}  // namespace pixorale::test
