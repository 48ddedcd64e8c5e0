// A build without FluidSynth writes no WAV files; the converter refuses --wav before it
// converts anything, so this answers only a caller that did not ask first.
#include "render/wav_render.h"

namespace pixorale {

std::optional<std::string> FindDefaultSoundFont() {
  return std::nullopt;
}

WavRenderResult RenderSongToWav(const Song&, const std::string&, const WavRenderOptions&) {
  WavRenderResult result;
  result.error = "this build cannot write WAV files";
  return result;
}

}  // namespace pixorale
