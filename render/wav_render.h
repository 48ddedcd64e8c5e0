#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "midi/song.h"
#include "render/loudness.h"
#include "render/render_result.h"

namespace pixorale {

// After the last event the synthesizer plays on this long, so that notes fade and the
// reverb dies away instead of being cut off.
inline constexpr double kReleaseTailSeconds = 2.0;

struct WavRenderOptions {
  std::string soundFontPath;
  // A fixed gain in dB applied to the synthesizer's output (what goes beyond full scale is
  // clipped); without it the WAV is normalised so that its peak is kWavPeakDbfs.
  std::optional<double> gainDb;
  // Called now and then with the part of the audio rendered so far, 0 to 1.
  std::function<void(double)> progress;
};

struct WavRenderResult : RenderResult {
  double seconds = 0.0;  // length of the audio written
  // Every sample written is zero (a SoundFont whose samples are broken, notes too quiet to
  // reach the WAV's smallest step): no normalising or gain made the song heard.
  bool silent = false;
};

// The SoundFont used when none is given: the General MIDI set Debian installs, if present.
std::optional<std::string> FindDefaultSoundFont();

// Plays the song through FluidSynth and writes 44.1 kHz 16-bit stereo WAV to `out`: as long
// as the song plus the release tail, without a constant offset, the same bytes on every run.
// Normalised, the audio is first rendered to a temporary file and written once its peak is
// known; with a fixed gain it is written as it is rendered. Nothing is written when the
// song is too long or the SoundFont cannot be loaded; a stream that fails stops the render
// with `io` set (the writer of the stream knows why).
WavRenderResult RenderSongToWav(const Song& song, std::ostream& out,
                                const WavRenderOptions& options);

}  // namespace pixorale
