// Where the renders' libraries are linked into the program (Windows, whose libraries are
// static), "on demand" is simply the linked renders.
#include "render/render_on_demand.h"

namespace pixorale {

WavRenderResult RenderSongToWavOnDemand(const Song& song, std::ostream& out,
                                        const WavRenderOptions& options) {
  return RenderSongToWav(song, out, options);
}

RenderResult DrawPianoRollOnDemand(const Song& song, std::ostream& out) {
  return DrawPianoRoll(song, out);
}

}  // namespace pixorale
