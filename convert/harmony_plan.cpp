#include "convert/harmony_plan.h"

#include <algorithm>

namespace pixorale {
namespace {

constexpr uint8_t kTonicDegree = 0;
constexpr uint8_t kSubdominantDegree = 3;
constexpr uint8_t kDominantDegree = 4;
// A 4/4 bar with this many notes or more changes chord at its middle.
constexpr size_t kNotesForTwoChords = 5;

size_t ChordHolding(const std::vector<KeyChord>& chords, int pitch, bool warm, size_t previous) {
  size_t best = 0;
  int bestScore = -1;
  for (size_t i = 0; i < chords.size(); ++i) {
    int score = 0;
    if (chords[i].Holds(pitch)) score += 4;
    if (chords[i].minor != warm) score += 2;
    if (i != previous) score += 1;
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

}  // namespace

size_t ChordOnDegree(const std::vector<KeyChord>& chords, uint8_t degree) {
  for (size_t i = 0; i < chords.size(); ++i) {
    if (chords[i].degree == degree) return i;
  }
  return 0;
}

std::vector<ChordSpan> PlanHarmony(const Metre& metre, const std::vector<Slot>& slots,
                                   const std::vector<int>& targets,
                                   const std::vector<int32_t>& warmth,
                                   const std::vector<KeyChord>& chords) {
  std::vector<ChordSpan> plan;
  if (chords.empty()) return plan;
  const uint32_t barLength = metre.SixteenthsPerBar();
  const uint32_t total = metre.Sixteenths();
  const uint32_t phrases = metre.bars / kBarsPerPhrase;
  const size_t tonic = ChordOnDegree(chords, kTonicDegree);
  const size_t dominant = ChordOnDegree(chords, kDominantDegree);
  const size_t subdominant = ChordOnDegree(chords, kSubdominantDegree);
  size_t previous = tonic;
  for (uint32_t bar = 0; bar < metre.bars; ++bar) {
    const uint32_t start = bar * barLength;
    const uint32_t inPhrase = bar % kBarsPerPhrase;
    const uint32_t phrase = bar / kBarsPerPhrase;
    const bool halfClose = phrase % 2 == 0 && phrase + 1 < phrases;
    const size_t notes =
        static_cast<size_t>(std::count_if(slots.begin(), slots.end(), [&](const Slot& s) {
          return s.onset >= start && s.onset < start + barLength && !s.rest;
        }));
    const uint32_t parts =
        metre.beatsPerBar == 4 && notes >= kNotesForTwoChords && inPhrase != kBarsPerPhrase - 1 ? 2
                                                                                                : 1;
    for (uint32_t part = 0; part < parts; ++part) {
      ChordSpan span;
      span.length = barLength / parts;
      span.onset = start + part * span.length;
      const bool lastPart = part + 1 == parts;
      if (inPhrase == 0 && part == 0) {
        span.chord = tonic;
      } else if (inPhrase == kBarsPerPhrase - 1) {
        span.chord = halfClose ? dominant : tonic;
      } else if (inPhrase == kBarsPerPhrase - 2 && lastPart) {
        span.chord = halfClose ? subdominant : dominant;
      } else {
        const size_t column = size_t{span.onset} * warmth.size() / total;
        span.chord = ChordHolding(chords, targets[span.onset], warmth[column] > 0, previous);
      }
      previous = span.chord;
      plan.push_back(span);
    }
  }
  return plan;
}

}  // namespace pixorale
