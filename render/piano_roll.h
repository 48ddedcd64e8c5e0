#pragma once

#include <ostream>

#include "midi/song.h"
#include "render/render_result.h"

namespace pixorale {

// Where things go in a piano roll: time runs left to right, pitch bottom to top, one row of
// kPianoRollRowHeight pixels for each of the 128 pitches.
inline constexpr int kPianoRollRowHeight = 4;

struct PianoRollLayout {
  int width = 0;
  int height = 0;
  double left = 0.0;  // x of 0 s
  double top = 0.0;   // y of the top edge of pitch 127's row
  double pixelsPerSecond = 0.0;

  double X(double seconds) const { return left + seconds * pixelsPerSecond; }
  // The top edge of the pitch's row.
  double Y(int pitch) const { return top + (127 - pitch) * kPianoRollRowHeight; }
};

// A width that follows the song's length, up to a cap beyond which time is compressed.
PianoRollLayout PianoRollLayoutFor(double lengthSeconds);

// Draws the notes of the song as bars from note-on to note-off, the melody (first track) and
// the chords (later tracks) in two colours, over octave lines labelled C-1 to C9 and marks
// every few seconds, and writes it as a PNG to `out`; a stream that fails leaves `io` set
// (the writer of the stream knows why).
RenderResult DrawPianoRoll(const Song& song, std::ostream& out);

}  // namespace pixorale
