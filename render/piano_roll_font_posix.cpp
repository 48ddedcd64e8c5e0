// Fontconfig picks the system's sans-serif face.
#include "render/piano_roll_font.h"

namespace pixorale {

const char* PianoRollFontFamily() {
  return "sans-serif";
}

}  // namespace pixorale
