#include "app/desktop/toolkit_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace pixorale {

std::unique_ptr<QTranslator> InstallToolkitTranslation() {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return nullptr;
  }
  if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
  return translator;
}

}  // namespace pixorale
