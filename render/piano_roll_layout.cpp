#include "render/piano_roll_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pixorale {
namespace {

constexpr int kMarginLeft = 36;
constexpr int kMarginRight = 12;
constexpr int kMarginTop = 24;
constexpr int kMarginBottom = 24;
constexpr double kPixelsPerSecond = 40.0;
constexpr int kMinPlotWidth = 320;
constexpr int kMaxWidth = 4000;

// Room above and below the notes, so that the highest and lowest do not sit on the edge.
constexpr int kPitchMargin = 3;
// At least an octave is shown, so at least one C is there to read the others by.
constexpr int kMinPitchSpan = 12;
constexpr int kMiddleC = 60;
// Rows grow towards this plot height, between the smallest that still shows a bar and the
// largest that still looks like a row.
constexpr int kWantedPlotHeight = 384;
constexpr int kMinRowHeight = 4;
constexpr int kMaxRowHeight = 12;

}  // namespace

PitchSpan PitchSpanOf(const std::vector<NoteSpan>& notes) {
  PitchSpan span{127, 0};
  if (notes.empty()) return {};
  for (const NoteSpan& note : notes) {
    span.lowest = std::min<int>(span.lowest, note.pitch);
    span.highest = std::max<int>(span.highest, note.pitch);
  }
  return span;
}

PianoRollLayout PianoRollLayoutFor(double lengthSeconds, PitchSpan used) {
  PianoRollLayout layout;
  if (used.empty()) used = {kMiddleC, kMiddleC + kMinPitchSpan};
  int low = used.lowest - kPitchMargin;
  int high = used.highest + kPitchMargin;
  const int missing = std::max(0, kMinPitchSpan - (high - low));
  low -= missing / 2;
  high += missing - missing / 2;
  // At an end of the MIDI range the rows that do not fit there go to the other side.
  if (low < 0) {
    high -= low;
    low = 0;
  }
  if (high > 127) {
    low = std::max(0, low - (high - 127));
    high = 127;
  }
  layout.lowPitch = low;
  layout.highPitch = high;
  const int rows = layout.highPitch - layout.lowPitch + 1;
  layout.rowHeight = std::clamp(kWantedPlotHeight / rows, kMinRowHeight, kMaxRowHeight);

  layout.left = kMarginLeft;
  layout.top = kMarginTop;
  layout.height = kMarginTop + rows * layout.rowHeight + kMarginBottom;
  const double wanted = std::ceil(std::max(0.0, lengthSeconds) * kPixelsPerSecond);
  const int plotWidth = static_cast<int>(
      std::clamp<double>(wanted, kMinPlotWidth, kMaxWidth - kMarginLeft - kMarginRight));
  layout.right = kMarginLeft + plotWidth;
  layout.width = kMarginLeft + plotWidth + kMarginRight;
  layout.pixelsPerSecond =
      lengthSeconds > 0.0 && wanted > plotWidth ? plotWidth / lengthSeconds : kPixelsPerSecond;
  return layout;
}

std::vector<PianoRollLabel> PianoRollLabels(const PianoRollLayout& layout) {
  std::vector<PianoRollLabel> labels;
  for (int pitch = (layout.lowPitch + 11) / 12 * 12; pitch <= layout.highPitch; pitch += 12) {
    char text[16];
    std::snprintf(text, sizeof text, "C%d", pitch / 12 - 1);
    labels.push_back({pitch, text});
  }
  return labels;
}

}  // namespace pixorale
