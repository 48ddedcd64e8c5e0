// The converter's renders: FluidSynth and Cairo (and the dozens of libraries they pull in)
// are loaded with the render module the first time a WAV or a piano roll is asked for, so
// a run that writes only MIDI starts without them.
#include <string>

#include "render/render_module.h"
#include "render/render_on_demand.h"
#include "render/shared_module.h"

namespace pixorale {
namespace {

struct LoadedRenderer {
  const RenderEntryPoints* points = nullptr;
  std::string error;
};

// Loaded once, by whichever render thread comes first.
const LoadedRenderer& Renderer() {
  static const LoadedRenderer renderer = [] {
    const ModuleFunction entry =
        LoadModuleFunction(PIXORALE_RENDER_MODULE_FROM_PROGRAM, kRenderEntryPointsSymbol);
    if (entry.address == nullptr) return LoadedRenderer{nullptr, entry.error};
    const auto entryPoints = reinterpret_cast<RenderEntryPointsFunction>(entry.address);
    return LoadedRenderer{entryPoints(), {}};
  }();
  return renderer;
}

}  // namespace

WavRenderResult RenderSongToWavOnDemand(const Song& song, std::ostream& out,
                                        const WavRenderOptions& options) {
  const LoadedRenderer& renderer = Renderer();
  if (renderer.points != nullptr) return renderer.points->renderSongToWav(song, out, options);
  WavRenderResult result;
  result.error = "WAV output is not available: " + renderer.error;
  return result;
}

RenderResult DrawPianoRollOnDemand(const Song& song, std::ostream& out) {
  const LoadedRenderer& renderer = Renderer();
  if (renderer.points != nullptr) return renderer.points->drawPianoRoll(song, out);
  return {"piano rolls are not available: " + renderer.error, {}};
}

}  // namespace pixorale
