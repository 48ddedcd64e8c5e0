#pragma once

#include "app/resource_ids.h"

namespace pixorale {

// A control's place in a dialog template, in dialog units: DialogRect{RECT_SUSTAIN}.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

}  // namespace pixorale
