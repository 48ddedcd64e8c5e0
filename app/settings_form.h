#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/conversion_settings.h"

namespace pixorale {

// What the conversion settings dialog's controls hold, without any toolkit: the texts of the
// edits, the selected scale and which radio button of each pair is checked.
struct SettingsForm {
  int scaleSelection = -1;  // position in the scale list; -1 when nothing is selected
  std::string sustainText;
  std::string tempoText;
  bool beatUnits = true;  // "beat" checked; otherwise "millisecond"
  std::string resolutionText;
  bool singleNotes = true;  // "single notes" checked; otherwise "chords too"
  bool rangeGiven = false;  // "give a range" checked; the two range edits are enabled with it
  std::string rangeLowText;
  std::string rangeHighText;
};

// A control's text is read with at most this many characters.
inline constexpr size_t kMaxControlTextLength = 1023;

// The C library's atol on a platform with a 32-bit long: leading white space, an optional
// sign, then decimal digits up to the first other character; no digits give 0, and values
// beyond the 32-bit range saturate.
int32_t ParseLong(std::string_view text);

// The controls as the dialog shows them on opening. A scale index past the list selects
// nothing; a range of 0 to 255 means no range, and its edits are then left empty.
SettingsForm FormFromSettings(const ConversionSettings& settings);

enum class StoreResult {
  kStored,
  kTempoNotPositive,  // refused; the settings are unchanged
};

// Stores the controls into the settings, as OK does. Numbers are cut to their field's width;
// a range whose upper limit is not above its lower one means no range. The conversion
// divides by the tempo, so a tempo of 0 is refused and nothing is stored.
StoreResult StoreForm(const SettingsForm& form, ConversionSettings& settings);

}  // namespace pixorale
