#pragma once

#include "render/piano_roll.h"
#include "render/wav_render.h"

namespace pixorale {

// What the render module (the WAV and piano-roll code, with FluidSynth and Cairo linked in)
// gives the program that loads it. Both come from one build, so the functions' own types
// are the contract.
struct RenderEntryPoints {
  decltype(&RenderSongToWav) renderSongToWav = nullptr;
  decltype(&DrawPianoRoll) drawPianoRoll = nullptr;
};

// The module's one exported function; returns the entry points.
inline constexpr const char* kRenderEntryPointsSymbol = "pixorale_render_entry_points";
using RenderEntryPointsFunction = const RenderEntryPoints* (*)();

}  // namespace pixorale
