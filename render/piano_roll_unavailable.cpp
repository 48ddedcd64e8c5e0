// A build without Cairo draws no piano rolls; the converter refuses --piano-roll before it
// converts anything, so this answers only a caller that did not ask first.
#include "render/piano_roll.h"

namespace pixorale {

RenderResult DrawPianoRoll(const Song&, std::ostream&) {
  RenderResult result;
  result.error = "this build cannot draw piano rolls";
  return result;
}

}  // namespace pixorale
