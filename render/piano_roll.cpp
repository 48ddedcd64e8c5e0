#include "render/piano_roll.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>

#include "render/piano_roll_font.h"
#include "render/song_timeline.h"

namespace pixorale {
namespace {

constexpr double kMinMarkSpacing = 60.0;  // pixels between two time marks at least
constexpr double kFontSize = 10.0;

struct Colour {
  double r, g, b;
};
constexpr Colour kBackground = {1.0, 1.0, 1.0};
constexpr Colour kPlot = {0.97, 0.97, 0.97};
constexpr Colour kBlackKeyRow = {0.92, 0.92, 0.92};
constexpr Colour kOctaveLine = {0.72, 0.72, 0.72};
constexpr Colour kTimeLine = {0.87, 0.87, 0.87};
constexpr Colour kText = {0.2, 0.2, 0.2};
constexpr Colour kMelody = {0.15, 0.38, 0.85};
constexpr Colour kChords = {0.93, 0.50, 0.10};

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};

void SetColour(cairo_t* cairo, const Colour& colour) {
  cairo_set_source_rgb(cairo, colour.r, colour.g, colour.b);
}

// The smallest of the usual steps that keeps the marks apart.
double MarkStep(double pixelsPerSecond) {
  constexpr std::array<double, 14> kSteps = {1,   2,   5,   10,   15,   30,   60,
                                             120, 300, 600, 1200, 1800, 3600, 7200};
  for (double step : kSteps) {
    if (step * pixelsPerSecond >= kMinMarkSpacing) return step;
  }
  return std::ceil(kMinMarkSpacing / pixelsPerSecond / 3600.0) * 3600.0;
}

std::string SecondsLabel(double seconds) {
  const auto whole = static_cast<long long>(seconds);
  char text[32];
  if (whole < 60) {
    std::snprintf(text, sizeof text, "%lld s", whole);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

bool IsBlackKey(int pitch) {
  constexpr std::array<bool, 12> kBlack = {false, true,  false, true,  false, false,
                                           true,  false, true,  false, true,  false};
  return kBlack[static_cast<size_t>(pitch % 12)];
}

// The rows as on a keyboard turned on its side: the black keys' rows darker, so that a
// pitch can be counted from the nearest C.
void DrawRows(cairo_t* cairo, const PianoRollLayout& layout) {
  SetColour(cairo, kPlot);
  cairo_rectangle(cairo, layout.left, layout.top, layout.right - layout.left,
                  layout.Bottom() - layout.top);
  cairo_fill(cairo);
  SetColour(cairo, kBlackKeyRow);
  for (int pitch = layout.lowPitch; pitch <= layout.highPitch; ++pitch) {
    if (!IsBlackKey(pitch)) continue;
    cairo_rectangle(cairo, layout.left, layout.Y(pitch), layout.right - layout.left,
                    layout.rowHeight);
  }
  cairo_fill(cairo);
}

void DrawTimeMarks(cairo_t* cairo, const PianoRollLayout& layout, double lengthSeconds) {
  const double step = MarkStep(layout.pixelsPerSecond);
  for (double t = 0.0; t <= lengthSeconds + 1e-9; t += step) {
    const double x = std::floor(layout.X(t)) + 0.5;
    SetColour(cairo, kTimeLine);
    cairo_move_to(cairo, x, layout.top);
    cairo_line_to(cairo, x, layout.Bottom() + 4);
    cairo_stroke(cairo);
    SetColour(cairo, kText);
    cairo_move_to(cairo, x + 2, layout.Bottom() + 4 + kFontSize);
    cairo_show_text(cairo, SecondsLabel(t).c_str());
  }
}

// A line under every C, where its octave begins, and the C's name beside its row.
void DrawOctaves(cairo_t* cairo, const PianoRollLayout& layout) {
  for (const PianoRollLabel& label : PianoRollLabels(layout)) {
    const double y = layout.Y(label.pitch) + layout.rowHeight - 0.5;
    SetColour(cairo, kOctaveLine);
    cairo_move_to(cairo, layout.left - 4, y);
    cairo_line_to(cairo, layout.right, y);
    cairo_stroke(cairo);
    SetColour(cairo, kText);
    // The digits' height is about 0.7 of the font size: centred on the row.
    cairo_move_to(cairo, 4, layout.Y(label.pitch) + layout.rowHeight / 2.0 + kFontSize * 0.35);
    cairo_show_text(cairo, label.text.c_str());
  }
}

void DrawGrid(cairo_t* cairo, const PianoRollLayout& layout, double lengthSeconds) {
  DrawRows(cairo, layout);
  cairo_set_line_width(cairo, 1.0);
  DrawTimeMarks(cairo, layout, lengthSeconds);
  DrawOctaves(cairo, layout);
}

void DrawLegend(cairo_t* cairo, const PianoRollLayout& layout, bool hasChords) {
  double x = layout.left;
  const auto entry = [&](const Colour& colour, const char* name) {
    SetColour(cairo, colour);
    cairo_rectangle(cairo, x, 8, 14, 8);
    cairo_fill(cairo);
    SetColour(cairo, kText);
    cairo_move_to(cairo, x + 18, 8 + kFontSize - 2);
    cairo_show_text(cairo, name);
    x += 90;
  };
  entry(kMelody, "melody");
  if (hasChords) entry(kChords, "chords");
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
  auto& out = *static_cast<std::ostream*>(closure);
  out.write(reinterpret_cast<const char*>(data), length);
  return out ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

RenderResult DrawPianoRoll(const Song& song, std::ostream& out) {
  const SongNotes songNotes = CollectNotes(song);
  const std::vector<NoteSpan>& notes = songNotes.notes;
  const PianoRollLayout layout = PianoRollLayoutFor(songNotes.lengthSeconds, PitchSpanOf(notes));

  const std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.width, layout.height));
  const std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
  cairo_t* cairo = context.get();
  if (cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
    return {std::string("cannot draw: ") + cairo_status_to_string(cairo_status(cairo)), {}};
  }
  SetColour(cairo, kBackground);
  cairo_paint(cairo);
  cairo_select_font_face(cairo, PianoRollFontFamily(), CAIRO_FONT_SLANT_NORMAL,
                         CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, kFontSize);
  DrawGrid(cairo, layout, songNotes.lengthSeconds);

  bool hasChords = false;
  for (const NoteSpan& note : notes) {
    const bool melody = note.track == 0;
    hasChords = hasChords || !melody;
    SetColour(cairo, melody ? kMelody : kChords);
    const double x = layout.X(note.start);
    // Every note stays visible, however short or compressed.
    const double width = std::max(1.0, layout.X(note.end) - x);
    cairo_rectangle(cairo, x, layout.Y(note.pitch), width, layout.rowHeight - 1);
    cairo_fill(cairo);
  }
  DrawLegend(cairo, layout, hasChords);
  cairo_surface_flush(surface.get());
  if (cairo_status(cairo) != CAIRO_STATUS_SUCCESS) {
    return {std::string("cannot draw: ") + cairo_status_to_string(cairo_status(cairo)), {}};
  }

  if (cairo_surface_write_to_png_stream(surface.get(), WriteToStream, &out) !=
      CAIRO_STATUS_SUCCESS) {
    const IoResult failed = IoResult::Failure(IoStep::kWrite, 0);
    return {DescribeIoResult(failed), failed};
  }
  return {};
}

}  // namespace pixorale
