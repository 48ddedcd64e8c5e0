#pragma once

#include <functional>
#include <optional>
#include <string>

#include "io/atomic_file.h"
#include "midi/song.h"
#include "render/render_result.h"

namespace pixorale {

// After the last event the synthesizer plays on this long, so that notes fade and the
// reverb dies away instead of being cut off.
inline constexpr double kReleaseTailSeconds = 2.0;

struct WavRenderOptions {
  std::string soundFontPath;
  // Called now and then with the part of the audio rendered so far, 0 to 1.
  std::function<void(double)> progress;
  // How the file is put in place (an existing file is replaced unless told otherwise).
  WriteOptions write;
};

struct WavRenderResult : RenderResult {
  double seconds = 0.0;  // length of the audio written
};

// The SoundFont used when none is given: the General MIDI set Debian installs, if present.
std::optional<std::string> FindDefaultSoundFont();

// Plays the song through FluidSynth and writes 44.1 kHz 16-bit stereo WAV: as long as the
// song plus the release tail, the same bytes on every run, never half a file.
WavRenderResult RenderSongToWav(const Song& song, const std::string& wavPath,
                                const WavRenderOptions& options);

}  // namespace pixorale
