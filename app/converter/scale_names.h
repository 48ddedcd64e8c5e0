#pragma once

#include <cstddef>

#include "app/converter/option_table.h"

namespace pixorale::converter {

// A scale's name for a person, without its root, which the shell puts before it ("Dメジャー",
// "D major"): the settings dialog's nine in scaleIndex order, then the extra scales.
Words ScaleWords(size_t index);

}  // namespace pixorale::converter
