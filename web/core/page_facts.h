#pragma once

#include <string>

namespace pixorale::web {

// The converter's facts the page needs, as an ES module: every option of the converter's
// table (names, kinds, limits, defaults, choices with their words, exclusions, groups, the
// page's labels) in the table's order, the presets, the channels, the note record, the WAV
// format, the summary's fields and the kinds of failure and warning. The page takes these
// from here and spells none of them itself.
std::string PageFactsModule();

}  // namespace pixorale::web
