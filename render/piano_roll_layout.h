#pragma once

#include <string>
#include <vector>

#include "render/song_timeline.h"

namespace pixorale {

// The pitches a song's notes use; empty (highest below lowest) when it has none.
struct PitchSpan {
  int lowest = 0;
  int highest = -1;

  bool empty() const { return highest < lowest; }
};

PitchSpan PitchSpanOf(const std::vector<NoteSpan>& notes);

// Where things go in a piano roll: time runs left to right, pitch bottom to top, one row of
// rowHeight pixels for each pitch from lowPitch to highPitch.
struct PianoRollLayout {
  int width = 0;
  int height = 0;
  double left = 0.0;   // x of 0 s, the plot's left edge
  double right = 0.0;  // x of the plot's right edge
  double top = 0.0;    // y of the top edge of highPitch's row
  double pixelsPerSecond = 0.0;
  int lowPitch = 0;
  int highPitch = 127;
  int rowHeight = 4;

  double X(double seconds) const { return left + seconds * pixelsPerSecond; }
  // The top edge of the pitch's row.
  double Y(int pitch) const { return top + (highPitch - pitch) * rowHeight; }
  // The bottom edge of lowPitch's row.
  double Bottom() const { return Y(lowPitch) + rowHeight; }
};

// A width that follows the song's length, up to a cap beyond which time is compressed; the
// rows of the pitches used and a few more on either side, never less than an octave, and
// taller rows when there are few of them. A song without notes shows the octave above
// middle C.
PianoRollLayout PianoRollLayoutFor(double lengthSeconds, PitchSpan used);

// A label at the left of a row: every C shown is named with its octave (middle C is C4).
struct PianoRollLabel {
  int pitch = 0;
  std::string text;
};
std::vector<PianoRollLabel> PianoRollLabels(const PianoRollLayout& layout);

}  // namespace pixorale
