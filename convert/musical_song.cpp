#include "convert/musical_song.h"

#include <algorithm>
#include <cstdlib>

#include "convert/chords.h"
#include "convert/column_resample.h"
#include "convert/harmony_plan.h"
#include "convert/key_chords.h"
#include "convert/length_fit.h"
#include "convert/melodic_line.h"
#include "convert/metre_plan.h"
#include "convert/picture_contour.h"
#include "convert/score_track.h"
#include "convert/track_events.h"

namespace pixorale {
namespace {

constexpr uint8_t kHighestPitch = 127;
// Lengths, in sixteenths, that a note joined with the one before it may take.
constexpr std::array<uint32_t, 6> kJoinedLengths = {2, 4, 6, 8, 12, 16};
// Chords sound between these pitches, their bass below: under the melody, above the rumble.
constexpr int kChordLow = 52;
constexpr int kBassLow = 40;
constexpr int kOctave = 12;
constexpr uint8_t kOffBeatSoftening = 16;
constexpr uint8_t kBeatSoftening = 8;

// One note or rest of the melody before its pitch is known.
struct PlannedNote {
  uint32_t onset = 0;      // ticks
  uint32_t length = 0;     // ticks
  size_t firstColumn = 0;  // of the summary (or of the picture, without one)
  size_t endColumn = 1;
  Slot slot;  // its place in the bars, with the metre
};

struct Timing {
  std::vector<PlannedNote> notes;
  uint32_t tempo = 0;
  std::optional<Metre> metre;
  uint32_t sixteenthTicks = 0;
  size_t columns = 0;  // that the notes' columns count in
};

Timing MetreTiming(const PictureColumns& read, const PictureSummary& summary, uint16_t division,
                   double seconds, RandomBitSource& bits) {
  Timing timing;
  const Metre metre = ChooseMetre(read, summary.pictureWidth(), summary.pictureHeight(), seconds);
  timing.metre = metre;
  timing.tempo = metre.tempo;
  timing.sixteenthTicks = division / kSixteenthsPerBeat;
  timing.columns = read.feature.size();
  const uint32_t total = metre.Sixteenths();
  for (const Slot& slot : PlanRhythm(metre, read, bits)) {
    PlannedNote note;
    note.onset = slot.onset * timing.sixteenthTicks;
    note.length = slot.length * timing.sixteenthTicks;
    note.firstColumn = std::min(size_t{slot.onset} * timing.columns / total, timing.columns - 1);
    note.endColumn =
        std::max(note.firstColumn + 1, size_t{slot.onset + slot.length} * timing.columns / total);
    note.slot = slot;
    timing.notes.push_back(note);
  }
  return timing;
}

// The plain conversion's timing: a note per (resampled) column, its step from the blue byte
// of the middle row, each held for the sustain.
Timing StepTiming(BitmapImage& image, const ConversionParameters& params, uint16_t division,
                  size_t columnsCounted) {
  Timing timing;
  timing.tempo = params.tempo;
  uint32_t columns = params.controls.columns;
  if (columns == 0 && params.controls.maxSeconds) {
    columns = ColumnsWithin(image, params, *params.controls.maxSeconds);
  }
  if (columns != 0) ResampleColumns(image, columns);
  const uint32_t width = image.width;
  timing.columns = columnsCounted == 0 ? width : columnsCounted;
  const std::span<const uint8_t> stepRow = image.Row24(image.MiddleRowIndex());
  const uint32_t sustain = SustainTicks(division, params.sustainQuarters);
  uint32_t onset = 0;
  for (uint32_t column = 0; column < width; ++column) {
    if (column > 0) onset += ColumnStepTicks(stepRow[3 * size_t{column}], division >> 3);
    PlannedNote note;
    note.onset = onset;
    note.length = sustain;
    note.firstColumn = size_t{column} * timing.columns / width;
    note.endColumn = std::max(note.firstColumn + 1, size_t{column + 1} * timing.columns / width);
    timing.notes.push_back(note);
  }
  return timing;
}

int NearestIndex(const std::vector<uint8_t>& pitches, int pitch) {
  int best = 0;
  for (size_t i = 0; i < pitches.size(); ++i) {
    if (std::abs(pitches[i] - pitch) < std::abs(pitches[static_cast<size_t>(best)] - pitch)) {
      best = static_cast<int>(i);
    }
  }
  return best;
}

bool MayJoin(const PlannedNote& before, const PlannedNote& note, uint32_t sixteenthTicks,
             uint32_t barLength) {
  if (sixteenthTicks == 0) return true;  // the plain steps: any two notes
  const uint32_t joined = (note.slot.onset + note.slot.length) - before.slot.onset;
  return before.slot.onset / barLength == note.slot.onset / barLength &&
         std::find(kJoinedLengths.begin(), kJoinedLengths.end(), joined) != kJoinedLengths.end();
}

// The chords of the plan as notes: each triad in the octave from kChordLow, its root again
// below as the bass.
std::vector<ScoreNote> VoicedChords(const std::vector<ChordSpan>& plan,
                                    const std::vector<KeyChord>& chords, uint32_t sixteenthTicks,
                                    uint8_t velocity) {
  std::vector<ScoreNote> notes;
  for (const ChordSpan& span : plan) {
    const KeyChord& chord = chords[span.chord];
    const uint32_t onset = span.onset * sixteenthTicks;
    const uint32_t end = (span.onset + span.length) * sixteenthTicks;
    const auto above = [](int low, int pitchClass) {
      return static_cast<uint8_t>(low + ((pitchClass - low) % kOctave + kOctave) % kOctave);
    };
    notes.push_back({onset, end, above(kBassLow, chord.root), velocity});
    for (const uint8_t pitchClass : chord.classes) {
      notes.push_back({onset, end, above(kChordLow, pitchClass), velocity});
    }
  }
  return notes;
}

uint8_t Accented(uint8_t velocity, const Slot& slot) {
  const uint8_t softening = slot.strong                            ? 0
                            : slot.onset % kSixteenthsPerBeat == 0 ? kBeatSoftening
                                                                   : kOffBeatSoftening;
  return static_cast<uint8_t>(std::max(1, velocity - softening));
}

}  // namespace

bool ConvertMusically(Song& song, BitmapImage& image, const ConversionParameters& params,
                      RandomBitSource& bits, std::vector<NoteSource>* sources) {
  const MusicalReading& reading = params.controls.reading;
  const uint16_t division = StartSong(song, params);

  const PictureSummary& summary = image.summary;
  const PictureColumns read =
      ReadColumns(summary, reading.contour.value_or(ContourFeature::kSkyline));
  const bool hasColumns = !read.feature.empty();
  const bool fromContour = reading.contour && hasColumns;
  const uint32_t pictureWidth = hasColumns ? summary.pictureWidth() : image.width;
  const uint32_t pictureHeight = hasColumns ? summary.pictureHeight() : image.height;

  Timing timing;
  if (reading.metre && hasColumns) {
    timing = MetreTiming(read, summary, division, reading.songSeconds.value_or(kDefaultSongSeconds),
                         bits);
  } else if (image.HasRows24()) {
    timing = StepTiming(image, params, division, hasColumns ? read.feature.size() : 0);
  }

  const uint16_t classes = ScaleClasses(params.scaleIndex, params.controls.extraScale);
  const uint8_t key = params.controls.key;
  uint8_t low = 0;
  uint8_t high = kHighestPitch;
  if (params.controls.pitchMap) {
    low = params.controls.pitchMap->low;
    high = params.controls.pitchMap->high;
  } else if (fromContour) {
    low = kDefaultContourLow;
    high = kDefaultContourHigh;
  }
  std::vector<uint8_t> pitches = ScalePitches(classes, key, low, high);
  if (pitches.empty()) pitches = ScalePitches(classes, key, 0, kHighestPitch);

  // The pitch each note's columns ask for, as an index into the scale's pitches.
  std::vector<int> targets;
  if (fromContour) {
    const std::vector<int32_t> levels = SpreadLevels(read.feature);
    for (const PlannedNote& note : timing.notes) {
      int64_t sum = 0;
      for (size_t c = note.firstColumn; c < note.endColumn; ++c) sum += levels[c];
      const int64_t level = sum / static_cast<int64_t>(note.endColumn - note.firstColumn);
      const auto top = static_cast<int64_t>(pitches.size() - 1);
      targets.push_back(static_cast<int>((level * top + kLevelTop / 2) / kLevelTop));
    }
  } else if (image.HasRows24()) {
    const std::vector<uint8_t> rowPitches = RowPitches(image, params, bits);
    for (const PlannedNote& note : timing.notes) {
      const size_t middle = (note.firstColumn + note.endColumn) / 2;
      const size_t column =
          std::min(middle * rowPitches.size() / timing.columns, rowPitches.size() - 1);
      targets.push_back(NearestIndex(pitches, rowPitches[column]));
    }
  }

  // The harmony, and what the line is asked at each note.
  const std::vector<KeyChord> chords = KeyChords(classes, key);
  std::vector<ChordSpan> plan;
  const uint32_t barLength = timing.metre ? timing.metre->SixteenthsPerBar() : 0;
  if (reading.harmony && timing.metre) {
    std::vector<int> perSixteenth(timing.metre->Sixteenths(), 0);
    for (size_t i = 0; i < timing.notes.size(); ++i) {
      const Slot& slot = timing.notes[i].slot;
      for (uint32_t s = slot.onset; s < slot.onset + slot.length; ++s) {
        perSixteenth[s] = pitches[static_cast<size_t>(targets[i])];
      }
    }
    plan = PlanHarmony(
        *timing.metre,
        [&] {
          std::vector<Slot> slots;
          for (const PlannedNote& note : timing.notes) slots.push_back(note.slot);
          return slots;
        }(),
        perSixteenth, read.warmth, chords);
  }
  const auto chordAt = [&](uint32_t sixteenth) -> const KeyChord* {
    for (const ChordSpan& span : plan) {
      if (sixteenth >= span.onset && sixteenth < span.onset + span.length) {
        return &chords[span.chord];
      }
    }
    return nullptr;
  };
  const uint32_t phrases = timing.metre ? timing.metre->bars / kBarsPerPhrase : 0;
  std::vector<LineStep> steps;
  std::vector<size_t> sounding;  // the planned notes that are not rests
  uint32_t placeInPhrase = 0;
  uint32_t phraseOfPlace = 0;
  for (size_t i = 0; i < timing.notes.size(); ++i) {
    const PlannedNote& note = timing.notes[i];
    if (note.slot.rest) continue;
    LineStep step;
    step.target = targets[i];
    const uint32_t phraseOfNote =
        barLength == 0 ? 0 : note.slot.onset / (barLength * kBarsPerPhrase);
    placeInPhrase = phraseOfNote == phraseOfPlace ? placeInPhrase + 1 : 0;
    phraseOfPlace = phraseOfNote;
    step.placeInPhrase = placeInPhrase;
    if (note.slot.strong) step.chord = chordAt(note.slot.onset);
    if (timing.metre && note.slot.phraseEnd) {
      const uint32_t phrase = note.slot.onset / (barLength * kBarsPerPhrase);
      const bool halfClose = phrase % 2 == 0 && phrase + 1 < phrases;
      step.closingClass = (key + (halfClose ? 7 : 0)) % kOctave;
      if (!HasClass(classes, step.closingClass - key)) step.closingClass = key % kOctave;
    }
    step.mayLengthen =
        !sounding.empty() &&
        MayJoin(timing.notes[sounding.back()], note, timing.sixteenthTicks, barLength) &&
        !timing.notes[sounding.back()].slot.rest;
    steps.push_back(step);
    sounding.push_back(i);
  }
  const std::vector<LineNote> line = WalkLine(steps, pitches, reading.melodic, bits);

  // The melody's notes and where each was read.
  std::vector<ScoreNote> melody;
  const Voice& voice = params.controls.voices.melody;
  for (size_t n = 0; n < line.size(); ++n) {
    const PlannedNote& note = timing.notes[sounding[n]];
    if (line[n].joinsPrevious && !melody.empty()) {
      melody.back().end = note.onset + note.length;
      if (sources != nullptr && !sources->empty()) {
        sources->back().endColumn =
            static_cast<uint32_t>(uint64_t{note.endColumn} * pictureWidth / timing.columns);
      }
      continue;
    }
    // A note of no length (a sustain of 0, a division below four) is no note: it has no
    // source either, so the sources stay one for each note of the track.
    if (note.length == 0) continue;
    uint8_t velocity = voice.velocity;
    if (params.controls.dynamics) {
      velocity = VelocityFromGreen(hasColumns ? read.green[note.firstColumn] : 100);
    } else if (timing.metre) {
      velocity = Accented(velocity, note.slot);
    }
    melody.push_back({note.onset, note.onset + note.length,
                      pitches[static_cast<size_t>(line[n].index)], velocity});
    if (sources != nullptr) {
      NoteSource source;
      source.firstColumn =
          static_cast<uint32_t>(uint64_t{note.firstColumn} * pictureWidth / timing.columns);
      source.endColumn =
          static_cast<uint32_t>(uint64_t{note.endColumn} * pictureWidth / timing.columns);
      source.topRow = 0;
      source.bottomRow = pictureHeight;
      if (fromContour && reading.contour == ContourFeature::kSkyline) {
        const size_t middle = (note.firstColumn + note.endColumn) / 2;
        source.topRow =
            static_cast<uint32_t>(uint64_t{read.rowTop[middle]} * pictureHeight / read.rows);
        source.bottomRow =
            static_cast<uint32_t>(uint64_t{read.rowEnd[middle]} * pictureHeight / read.rows);
      } else if (!fromContour && pictureHeight > 0) {
        source.topRow = pictureHeight - 1;  // the pitch row: the bottom one
      }
      sources->push_back(source);
    }
  }

  Track track;
  track.ClearEvents();
  track.AppendEvent(track_events::Tempo(QuarterMicroseconds(timing.tempo)));
  if (timing.metre) {
    track.AppendEvent(track_events::TimeSignature(static_cast<uint8_t>(timing.metre->beatsPerBar)));
  }
  track.AppendEvent(track_events::ProgramChange(kMelodyChannel, voice.program));
  AppendScoreNotes(track, melody, kMelodyChannel);
  track.AppendEvent(track_events::EndOfTrack());
  track.ComputeLength();
  song.AppendTrack(std::move(track));

  if (params.chordMode != 0) {
    const Voice& chordVoice = params.controls.voices.chords;
    if (plan.empty()) {
      BuildChordTrack(song, division, chordVoice);
    } else {
      Track chordTrack;
      chordTrack.ClearEvents();
      chordTrack.AppendEvent(track_events::ProgramChange(kChordChannel, chordVoice.program));
      AppendScoreNotes(chordTrack,
                       VoicedChords(plan, chords, timing.sixteenthTicks, chordVoice.velocity),
                       kChordChannel);
      chordTrack.AppendEvent(track_events::EndOfTrack());
      chordTrack.ComputeLength();
      song.AppendTrack(std::move(chordTrack));
      song.trackCount = 2;
    }
  }
  return true;
}

}  // namespace pixorale
