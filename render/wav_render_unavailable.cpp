// A build without FluidSynth writes no WAV files; the converter refuses --wav before it
// converts anything, so this answers only a caller that did not ask first.
#include "render/wav_render.h"

namespace pixorale {

WavRenderResult RenderSongToWav(const Song&, std::ostream&, const WavRenderOptions&) {
  WavRenderResult result;
  result.error = "this build cannot write WAV files";
  return result;
}

}  // namespace pixorale
