#pragma once

#include <ostream>

#include "midi/song.h"
#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale {

// The renders for a program that does not link their libraries: where the platform loads
// shared libraries at run time, each call goes to the render module, loaded the first time;
// elsewhere they are the renders linked in. A module that cannot be loaded makes every call
// fail with one line saying why.
WavRenderResult RenderSongToWavOnDemand(const Song& song, std::ostream& out,
                                        const WavRenderOptions& options);
RenderResult DrawPianoRollOnDemand(const Song& song, std::ostream& out);

}  // namespace pixorale
