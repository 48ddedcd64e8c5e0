// The Windows build has no FluidSynth or Cairo to draw on (Debian ships neither for
// mingw-w64): asking for a WAV or a piano roll is refused with a clear line, and, as with
// any output that fails, none of the input's files is written.
#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale {

std::optional<std::string> FindDefaultSoundFont() {
  return std::nullopt;
}

WavRenderResult RenderSongToWav(const Song&, std::ostream&, const WavRenderOptions&) {
  WavRenderResult result;
  result.error = "WAV output is not available in this build (it needs FluidSynth)";
  return result;
}

RenderResult DrawPianoRoll(const Song&, std::ostream&) {
  RenderResult result;
  result.error = "piano rolls are not available in this build (they need Cairo)";
  return result;
}

}  // namespace pixorale
