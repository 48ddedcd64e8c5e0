#include "app/desktop/program_icon.h"

#include <QString>

// The resources live in a static library, whose initializer the linker would drop. The
// macro declares the initializer, which must be found outside every namespace.
static void InitResources() {
  Q_INIT_RESOURCE(pixorale);
}

namespace pixorale {

QIcon ProgramIcon() {
  static const bool initialized = (InitResources(), true);
  (void)initialized;
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/pixorale-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace pixorale
