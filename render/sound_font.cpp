// Finding the SoundFont needs no synthesizer: the converter checks it before it loads one.
#include <array>
#include <filesystem>

#include "render/wav_render.h"

namespace pixorale {
namespace {

// Debian's fluid-soundfont-gm; the first is the name the alternatives system keeps.
constexpr std::array<const char*, 2> kDefaultSoundFonts = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

}  // namespace

std::optional<std::string> FindDefaultSoundFont() {
  for (const char* path : kDefaultSoundFonts) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return std::string(path);
  }
  return std::nullopt;
}

}  // namespace pixorale
