#pragma once

#include <ostream>

#include "midi/song.h"
#include "render/piano_roll_layout.h"
#include "render/render_result.h"

namespace pixorale {

// Draws the notes of the song as bars from note-on to note-off, the melody (first track) and
// the chords (later tracks) in two colours, over the rows of PianoRollLayoutFor (the black
// keys' rows shaded, a line under every C and its name) and marks every few seconds, and
// writes it as a PNG to `out`; a stream that fails leaves `io` set (the writer of the stream
// knows why).
RenderResult DrawPianoRoll(const Song& song, std::ostream& out);

}  // namespace pixorale
