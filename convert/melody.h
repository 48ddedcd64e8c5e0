#pragma once

#include <cstdint>
#include <optional>

#include <vector>

#include "convert/musical_reading.h"
#include "convert/random_bits.h"
#include "convert/scale_table.h"
#include "convert/voices.h"
#include "image/bitmap_image.h"
#include "midi/song.h"

namespace pixorale {

// The pitch range that is no range: 0 to 255 leaves every red byte as it is.
inline constexpr uint8_t kNoRangeLow = 0;
inline constexpr uint8_t kNoRangeHigh = 255;

// True when the range rescales the pitch row: it is not the no-range pair, and its low end
// lies below its high end (any other pair converts as no range).
constexpr bool RangeApplies(uint8_t rangeLow, uint8_t rangeHigh) {
  return (rangeLow != kNoRangeLow || rangeHigh != kNoRangeHigh) && rangeLow < rangeHigh;
}

// The alternative to the range: every red byte r becomes low + r * (high - low) / 255,
// rounded half up, whatever the picture's own reds (0 <= low < high <= 127).
struct PitchMap {
  uint8_t low = 0;
  uint8_t high = 127;
  bool operator==(const PitchMap&) const = default;
};

// With dynamics each melody note's velocity comes from the green byte of its pixel in the
// pitch row: quiet to loud is 40 to 127.
inline constexpr uint8_t kQuietestDynamicVelocity = 40;

// What the conversion takes beyond the user's settings: the parts' voices and the musical
// controls. Each left at its default converts as without it.
struct ConversionControls {
  SongVoices voices;
  uint32_t columns = 0;  // resample the picture to this many columns first; 0: as it is
  // Resample to as many columns as fit in this many seconds (ignored when `columns` is set).
  std::optional<double> maxSeconds;
  uint8_t key = 0;                       // the scale's root, semitones above C
  std::optional<ExtraScale> extraScale;  // instead of the settings' scale
  std::optional<PitchMap> pitchMap;      // instead of the fold and the range
  bool dynamics = false;
  MusicalReading reading;  // the musical reading of the whole picture, part by part
  bool operator==(const ConversionControls&) const = default;
};

// What the conversion takes from the user's settings and the controls.
struct ConversionParameters {
  uint8_t scaleIndex = 0;
  uint8_t timingMode = 0;   // copied into the song header; both modes convert alike
  uint16_t resolution = 0;  // the song's division: ticks per quarter note in beat mode
  double sustainQuarters = 0.0;
  uint32_t tempo = 0;  // beats per minute
  uint8_t chordMode = 0;
  uint8_t rangeLow = 0;
  uint8_t rangeHigh = kNoRangeHigh;
  ConversionControls controls;
};

// Longest sustain in ticks: with it no delta of either track can pass the 28-bit limit of a
// MIDI delta, even the chord track's closing one, which adds up to 4 * 65535 ticks.
inline constexpr uint32_t kMaxSustainTicks = 0x0FFFFFFF - 4u * 65535u;
// Largest tempo value a tempo event can hold: microseconds per quarter note in 3 bytes.
inline constexpr uint32_t kMaxQuarterMicroseconds = 0xFFFFFF;

// The file's division word holds 15 bits; a larger resolution would space the notes for one
// division and announce another, so the file would play at the wrong speed.
inline uint16_t SongDivision(uint16_t resolution) {
  return resolution < kMaxDivision ? resolution : kMaxDivision;
}

// Ticks each note is held. Longer sustains are capped so that every delta still fits the
// 28 bits of a MIDI delta.
uint32_t SustainTicks(uint16_t division, double sustainQuarters);

// Ticks from a column's note-on to the next one, from the blue byte of its pixel in the
// middle row: 1 to 8 units (0 counts as 1). The first column's note starts at 0.
uint32_t ColumnStepTicks(uint8_t blue, uint32_t stepUnit);

// Microseconds per quarter note of the tempo event for a tempo in beats per minute, held to
// what the event's three bytes can carry: 1 (fastest) to 0xFFFFFF (slowest, also for 0).
uint32_t QuarterMicroseconds(uint32_t tempo);

// Empties the song and gives it the header of a conversion: format 1, one track, the timing
// mode and the division of the parameters. Returns the division.
uint16_t StartSong(Song& song, const ConversionParameters& params);

// The velocity --dynamics gives a note from a green byte: 40 to 127.
uint8_t VelocityFromGreen(uint8_t green);

// The pitch of each column of the pitch row as the plain conversion reads it: mapped, or
// rescaled into the range (rewriting the red bytes) and folded, then snapped into the scale
// and key, drawing from `bits` as the plain conversion does. Requires image.HasRows24().
std::vector<uint8_t> RowPitches(BitmapImage& image, const ConversionParameters& params,
                                RandomBitSource& bits);

// Empties the song and fills it from a 24-bit image: track 1 is the melody, one note per
// column; with chordMode set, track 2 holds the chords. The pitch-range rescale rewrites the
// red bytes of row 0 in place. With any part of the musical reading in the controls, the song
// is the musical reading's, and `sources` (when given) receives where each of its melody
// notes was read. Always returns true.
bool ConvertImageToSong(Song& song, BitmapImage& image, const ConversionParameters& params,
                        RandomBitSource& bits, std::vector<NoteSource>* sources = nullptr);

}  // namespace pixorale
