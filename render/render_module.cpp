// The entry of the render module. Everything else in it is hidden from the program that
// loads it (see render/CMakeLists.txt), so its copies of the core stay its own.
#include "render/render_module.h"

extern "C" __attribute__((visibility("default"))) const pixorale::RenderEntryPoints*
pixorale_render_entry_points() {
  static const pixorale::RenderEntryPoints points{&pixorale::RenderSongToWav,
                                                  &pixorale::DrawPianoRoll};
  return &points;
}
