#pragma once

#include <QTranslator>
#include <memory>

namespace pixorale {

// Qt's own texts (standard buttons, file dialogs and their questions) in Japanese, the
// language of the program's texts, whatever the system's language. The translation is in
// force while the returned translator lives; nullptr when Qt's Japanese translation is not
// installed, and Qt's own texts then stay English.
std::unique_ptr<QTranslator> InstallToolkitTranslation();

}  // namespace pixorale
