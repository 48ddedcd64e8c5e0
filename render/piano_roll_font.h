#pragma once

namespace pixorale {

// The font family of the piano roll's labels, as Cairo's font backend on this platform
// knows it.
const char* PianoRollFontFamily();

}  // namespace pixorale
