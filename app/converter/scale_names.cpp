#include "app/converter/scale_names.h"

#include <array>
#include <string_view>

#include "app/ui_texts.h"
#include "convert/scale_table.h"

namespace pixorale::converter {
namespace {

constexpr std::array<std::string_view, kScaleCount> kEnglishNames = {
    "major",    "natural minor", "harmonic minor", "melodic minor", "Dorian",
    "Phrygian", "Lydian",        "Mixolydian",     "Locrian",
};

struct ExtraNames {
  std::string_view en;
  std::string_view ja;
};
constexpr std::array<ExtraNames, kExtraScales.size()> kExtraNames = {{
    {"major pentatonic", "メジャーペンタトニック"},
    {"minor pentatonic", "マイナーペンタトニック"},
    {"blues", "ブルース"},
    {"whole tone", "ホールトーン"},
    {"chromatic", "クロマチック"},
}};

// The settings dialog names its scales on C ("Cメジャー").
constexpr std::string_view kDialogRoot = "C";

}  // namespace

Words ScaleWords(size_t index) {
  if (index < kScaleCount) {
    std::string_view ja = texts::kScaleNames[index];
    ja.remove_prefix(kDialogRoot.size());
    return {std::string(kEnglishNames[index]), std::string(ja)};
  }
  const ExtraNames& extra = kExtraNames.at(index - kScaleCount);
  return {std::string(extra.en), std::string(extra.ja)};
}

}  // namespace pixorale::converter
