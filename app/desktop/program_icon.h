#pragma once

#include <QIcon>

namespace pixorale {

// Icon 104: the program's icon in every size it is drawn at.
QIcon ProgramIcon();

}  // namespace pixorale
