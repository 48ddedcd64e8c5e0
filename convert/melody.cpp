#include "convert/melody.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "convert/chords.h"
#include "convert/column_resample.h"
#include "convert/length_fit.h"
#include "convert/musical_song.h"
#include "convert/scale_classes.h"
#include "convert/scale_snap.h"
#include "convert/track_events.h"

namespace pixorale {
namespace {

constexpr uint32_t kMicrosecondsPerMinute = 60'000'000;
constexpr unsigned kPitchSlots = 128;
constexpr uint8_t kHighestPitch = 127;

// Stretches the red bytes of the pitch row so that they span rangeLow..rangeHigh. The
// arithmetic order is fixed so that results agree to the last bit.
void RescaleRedBytes(std::span<uint8_t> row, uint32_t width, uint8_t rangeLow, uint8_t rangeHigh) {
  uint8_t smallest = 255;
  uint8_t largest = 0;
  for (uint32_t i = 0; i < width; ++i) {
    smallest = std::min(smallest, row[3 * size_t{i} + 2]);
    largest = std::max(largest, row[3 * size_t{i} + 2]);
  }
  if (largest == smallest) {
    for (uint32_t i = 0; i < width; ++i) row[3 * size_t{i} + 2] = rangeLow;
    return;
  }
  const double k = 255.0 / static_cast<double>(largest - smallest);
  const double smallestTimesK = smallest * k;
  const double span = static_cast<double>(rangeHigh - rangeLow);
  for (uint32_t i = 0; i < width; ++i) {
    uint8_t& red = row[3 * size_t{i} + 2];
    const auto x = static_cast<uint8_t>(red * k - smallestTimesK);
    red = static_cast<uint8_t>((x / 255.0) * span + rangeLow);
  }
}

// Half up: (2 * numerator + denominator) / (2 * denominator) rounds numerator / denominator.
uint8_t RoundedRatio(unsigned numerator, unsigned denominator) {
  return static_cast<uint8_t>((2 * numerator + denominator) / (2 * denominator));
}

uint8_t MapRed(uint8_t red, PitchMap map) {
  const auto span = static_cast<unsigned>(map.high - map.low);
  return static_cast<uint8_t>(map.low + RoundedRatio(red * span, 255));
}

uint8_t Snap(uint8_t pitch, const ConversionParameters& params, RandomBitSource& bits) {
  const ConversionControls& controls = params.controls;
  const uint8_t snapped = SnapInKey(pitch, controls.key, [&](uint8_t inC) {
    return controls.extraScale ? SnapPitchToExtraScale(inC, *controls.extraScale, bits)
                               : SnapPitchToScale(inC, params.scaleIndex, bits);
  });
  if (!controls.pitchMap) return snapped;
  // A map promises its range: the snap may not carry a pitch out of it.
  return SnapWithin(
      snapped, pitch, controls.pitchMap->low, controls.pitchMap->high,
      RootedClasses(ScaleClasses(params.scaleIndex, controls.extraScale), controls.key));
}

// One slot per pitch: how long the pitch has been sounding. The pitches sounding are also
// kept in a short list, so each column touches only those, not all 128 slots.
class NoteTable {
 public:
  static constexpr int kNone = -1;

  bool IsActive(uint8_t pitch) const { return position_[pitch] != kInactive; }
  uint32_t Elapsed(uint8_t pitch) const { return elapsed_[pitch]; }

  void AddToAll(uint32_t ticks) {
    for (unsigned i = 0; i < count_; ++i) elapsed_[sounding_[i]] += ticks;
  }

  void Strike(uint8_t pitch) {
    elapsed_[pitch] = 0;
    if (IsActive(pitch)) return;
    position_[pitch] = static_cast<uint8_t>(count_);
    sounding_[count_++] = pitch;
  }

  void Release(uint8_t pitch) {
    const uint8_t at = position_[pitch];
    const uint8_t last = sounding_[--count_];
    sounding_[at] = last;
    position_[last] = at;
    position_[pitch] = kInactive;
    elapsed_[pitch] = 0;
  }

  // The sounding pitch with the largest elapsed time above `threshold`, the lowest pitch
  // among equals; kNone when there is none. A threshold of -1 takes every sounding pitch.
  int Oldest(int64_t threshold) const {
    int best = kNone;
    for (unsigned i = 0; i < count_; ++i) {
      const uint8_t pitch = sounding_[i];
      if (static_cast<int64_t>(elapsed_[pitch]) <= threshold) continue;
      if (best == kNone || elapsed_[pitch] > elapsed_[static_cast<size_t>(best)] ||
          (elapsed_[pitch] == elapsed_[static_cast<size_t>(best)] && pitch < best)) {
        best = pitch;
      }
    }
    return best;
  }

 private:
  static constexpr uint8_t kInactive = 0xFF;

  std::array<uint32_t, kPitchSlots> elapsed_{};
  std::array<uint8_t, kPitchSlots> position_ = MakeInactive();
  std::array<uint8_t, kPitchSlots> sounding_{};
  unsigned count_ = 0;

  static std::array<uint8_t, kPitchSlots> MakeInactive() {
    std::array<uint8_t, kPitchSlots> positions;
    positions.fill(kInactive);
    return positions;
  }
};

void AppendColumns(Track& track, BitmapImage& image, const ConversionParameters& params,
                   uint16_t division, uint32_t sustainTicks, RandomBitSource& bits) {
  const uint32_t stepUnit = division >> 3;  // a 32nd note in beat mode
  const std::span<const uint8_t> pitchRow = image.Row24(0);
  const std::span<const uint8_t> stepRow = image.Row24(image.height / 2);
  NoteTable notes;

  for (uint32_t column = 0; column < image.width; ++column) {
    const size_t pixel = 3 * size_t{column};
    uint32_t step = ColumnStepTicks(stepRow[pixel], stepUnit);
    uint8_t pitch = pitchRow[pixel + 2];
    if (params.controls.pitchMap) {
      pitch = MapRed(pitch, *params.controls.pitchMap);
    } else if (pitch > kHighestPitch) {
      pitch = static_cast<uint8_t>(255 - pitch);  // fold 128..255
    }
    if (column == 0) step = 0;
    pitch = Snap(pitch, params, bits);
    const uint8_t velocity = params.controls.dynamics ? VelocityFromGreen(pitchRow[pixel + 1])
                                                      : params.controls.voices.melody.velocity;

    notes.AddToAll(step);
    const bool restruck = notes.IsActive(pitch);
    notes.Strike(pitch);

    // Notes whose sustain ended since the previous note-on, in the order of their ends.
    // Their ends are measured from the previous note-on, where the track stands now.
    uint32_t offTotal = 0;
    for (int due = notes.Oldest(sustainTicks); due != NoteTable::kNone;
         due = notes.Oldest(sustainTicks)) {
      const auto duePitch = static_cast<uint8_t>(due);
      const uint32_t ageAtPreviousNoteOn = notes.Elapsed(duePitch) - step;
      const uint32_t delta = (sustainTicks - ageAtPreviousNoteOn) - offTotal;
      offTotal += delta;
      track.AppendEvent(track_events::NoteOff(kMelodyChannel, duePitch, delta));
      notes.Release(duePitch);
    }

    // A pitch struck again while sounding ends right at the new note-on.
    if (restruck) {
      track.AppendEvent(track_events::NoteOff(kMelodyChannel, pitch, step - offTotal));
      track.AppendEvent(track_events::NoteOn(kMelodyChannel, pitch, velocity, 0));
    } else {
      track.AppendEvent(track_events::NoteOn(kMelodyChannel, pitch, velocity, step - offTotal));
    }
  }

  // Every note still sounding ends sustainTicks after its note-on; elapsed times now count
  // from the last event appended.
  for (int oldest = notes.Oldest(-1); oldest != NoteTable::kNone; oldest = notes.Oldest(-1)) {
    const auto pitch = static_cast<uint8_t>(oldest);
    const uint32_t delta = sustainTicks - notes.Elapsed(pitch);
    track.AppendEvent(track_events::NoteOff(kMelodyChannel, pitch, delta));
    notes.Release(pitch);
    notes.AddToAll(delta);
  }
}

}  // namespace

uint8_t VelocityFromGreen(uint8_t green) {
  constexpr unsigned kSpan = 127 - kQuietestDynamicVelocity;
  return static_cast<uint8_t>(kQuietestDynamicVelocity + RoundedRatio(green * kSpan, 255));
}

std::vector<uint8_t> RowPitches(BitmapImage& image, const ConversionParameters& params,
                                RandomBitSource& bits) {
  const uint32_t width = image.width;
  if (!params.controls.pitchMap && RangeApplies(params.rangeLow, params.rangeHigh)) {
    RescaleRedBytes(image.Row24(0), width, params.rangeLow, params.rangeHigh);
  }
  const std::span<const uint8_t> row = image.Row24(0);
  std::vector<uint8_t> pitches(width);
  for (uint32_t column = 0; column < width; ++column) {
    uint8_t pitch = row[3 * size_t{column} + 2];
    if (params.controls.pitchMap) {
      pitch = MapRed(pitch, *params.controls.pitchMap);
    } else if (pitch > kHighestPitch) {
      pitch = static_cast<uint8_t>(255 - pitch);
    }
    pitches[column] = std::min(Snap(pitch, params, bits), kHighestPitch);
  }
  return pitches;
}

uint32_t SustainTicks(uint16_t division, double sustainQuarters) {
  const double ticks = std::trunc(static_cast<double>(division) * sustainQuarters);
  if (!(ticks > 0.0)) return 0;
  if (ticks >= static_cast<double>(kMaxSustainTicks)) return kMaxSustainTicks;
  return static_cast<uint32_t>(ticks);
}

uint32_t ColumnStepTicks(uint8_t blue, uint32_t stepUnit) {
  constexpr unsigned kStepLevels = 9;  // a blue byte gives 1 to 8 units of a 32nd note
  const uint32_t step = (blue % kStepLevels) * stepUnit;
  return step == 0 ? stepUnit : step;
}

// A tempo event of 0 microseconds cannot be played, so tempos above 60,000,000 get the
// fastest one it can hold; tempos too slow for its three bytes get the slowest.
uint32_t QuarterMicroseconds(uint32_t tempo) {
  if (tempo == 0) return kMaxQuarterMicroseconds;
  return std::clamp(kMicrosecondsPerMinute / tempo, uint32_t{1}, kMaxQuarterMicroseconds);
}

uint16_t StartSong(Song& song, const ConversionParameters& params) {
  song.ClearSong();
  song.format = 1;
  song.trackCount = 1;
  song.timingMode = params.timingMode;
  song.division = SongDivision(params.resolution);
  return song.division;
}

bool ConvertImageToSong(Song& song, BitmapImage& image, const ConversionParameters& params,
                        RandomBitSource& bits, std::vector<NoteSource>* sources) {
  if (params.controls.reading.Any()) return ConvertMusically(song, image, params, bits, sources);
  const uint16_t division = StartSong(song, params);

  uint32_t columns = params.controls.columns;
  if (columns == 0 && params.controls.maxSeconds && image.HasRows24()) {
    columns = ColumnsWithin(image, params, *params.controls.maxSeconds);
  }
  if (columns != 0) ResampleColumns(image, columns);
  // A picture with no rows has no pitch row to read: it converts like one of width 0.
  columns = image.HasRows24() ? image.width : 0;

  Track melody;
  melody.ClearEvents();
  // Each column adds one note-on and, sooner or later, its note-off.
  melody.events.reserve(3 + 2 * size_t{columns});
  melody.AppendEvent(track_events::Tempo(QuarterMicroseconds(params.tempo)));
  melody.AppendEvent(
      track_events::ProgramChange(kMelodyChannel, params.controls.voices.melody.program));

  if (columns > 0) {
    if (!params.controls.pitchMap && RangeApplies(params.rangeLow, params.rangeHigh)) {
      RescaleRedBytes(image.Row24(0), columns, params.rangeLow, params.rangeHigh);
    }
    AppendColumns(melody, image, params, division, SustainTicks(division, params.sustainQuarters),
                  bits);
  }

  melody.AppendEvent(track_events::EndOfTrack());
  melody.ComputeLength();
  song.AppendTrack(std::move(melody));

  if (params.chordMode != 0) BuildChordTrack(song, division, params.controls.voices.chords);
  return true;
}

}  // namespace pixorale
