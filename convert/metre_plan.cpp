#include "convert/metre_plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <span>

namespace pixorale {
namespace {

constexpr uint32_t kSlowestTempo = 84;
constexpr uint32_t kFastestTempo = 132;
constexpr uint32_t kTempoStep = 4;
// Mean detail of a cell (1/16 levels) at which the tempo starts to rise, and how much more
// makes it the fastest.
constexpr int64_t kCalmCellDetail = 96;
constexpr int64_t kBusyCellDetailSpan = 640;
// A bar whose cells hold less detail than this (1/16 levels) is empty: a clear sky, a wall.
constexpr int64_t kEmptyCellDetail = 40;
constexpr uint32_t kRestingBarsOutOf = 4;  // at most one bar in four rests

using Rhythm = std::vector<uint32_t>;

// Rhythms in sixteenths, from calm to busy, and the closing ones of a phrase. Quarter, eighth
// and half notes carry most of them, so a few lengths make up nearly every note.
struct Rhythms {
  std::array<std::vector<Rhythm>, 3> byBusyness;
  std::vector<Rhythm> closing;
  Rhythm resting;  // one note, then the bar rests
};

const Rhythms& RhythmsFor(uint32_t beatsPerBar) {
  static const Rhythms kFour{
      {{{{4, 4, 8}, {6, 2, 4, 4}, {8, 4, 4}, {4, 4, 4, 4}},
        {{4, 2, 2, 4, 4}, {2, 2, 4, 4, 4}, {4, 4, 2, 2, 4}, {6, 2, 4, 4}},
        {{2, 2, 2, 2, 4, 4}, {4, 2, 2, 2, 2, 4}, {2, 2, 4, 2, 2, 4}, {2, 2, 2, 2, 2, 2, 4}}}},
      {{4, 4, 8}, {2, 2, 4, 8}, {4, 2, 2, 8}, {6, 2, 8}},
      {4, 12}};
  static const Rhythms kThree{
      {{{{4, 8}, {4, 4, 4}, {6, 2, 4}, {8, 4}},
        {{4, 2, 2, 4}, {2, 2, 4, 4}, {4, 4, 2, 2}, {6, 2, 2, 2}},
        {{2, 2, 2, 2, 4}, {4, 2, 2, 2, 2}, {2, 2, 4, 2, 2}, {2, 2, 2, 2, 2, 2}}}},
      {{4, 8}, {2, 2, 8}, {6, 2, 4}, {4, 4, 4}},
      {4, 8}};
  return beatsPerBar == 3 ? kThree : kFour;
}

// The summary columns under sixteenths first to end of the song.
std::pair<size_t, size_t> ColumnsUnder(size_t columns, uint32_t first, uint32_t end,
                                       uint32_t total) {
  const size_t from = size_t{first} * columns / total;
  const size_t to = std::max(from + 1, size_t{end} * columns / total);
  return {std::min(from, columns - 1), std::min(to, columns)};
}

int64_t MeanOver(const std::vector<int32_t>& values, std::pair<size_t, size_t> span) {
  const int64_t sum =
      std::accumulate(values.begin() + static_cast<std::ptrdiff_t>(span.first),
                      values.begin() + static_cast<std::ptrdiff_t>(span.second), int64_t{0});
  return sum / static_cast<int64_t>(span.second - span.first);
}

}  // namespace

uint32_t DrawNumber(RandomBitSource& bits, unsigned count) {
  uint32_t number = 0;
  for (unsigned i = 0; i < count; ++i) number |= (bits.Draw() & 1u) << i;
  return number;
}

Metre ChooseMetre(const PictureColumns& columns, uint32_t pictureWidth, uint32_t pictureHeight,
                  double seconds) {
  Metre metre;
  metre.beatsPerBar = pictureHeight > pictureWidth ? 3 : 4;
  const int64_t busy =
      std::clamp<int64_t>(columns.meanCellDetail - kCalmCellDetail, 0, kBusyCellDetailSpan);
  const auto rise =
      static_cast<uint32_t>(busy * (kFastestTempo - kSlowestTempo) / kBusyCellDetailSpan);
  metre.tempo = kSlowestTempo + rise / kTempoStep * kTempoStep;
  // Whole phrases as near to the length asked for as there are.
  const double phrases = seconds * metre.tempo / (60.0 * metre.beatsPerBar * kBarsPerPhrase);
  const double rounded = std::floor(phrases + 0.5);
  metre.bars = kBarsPerPhrase * static_cast<uint32_t>(std::clamp(rounded, 1.0, 1000.0));
  return metre;
}

std::vector<Slot> PlanRhythm(const Metre& metre, const PictureColumns& columns,
                             RandomBitSource& bits) {
  const Rhythms& rhythms = RhythmsFor(metre.beatsPerBar);
  const uint32_t barLength = metre.SixteenthsPerBar();
  const uint32_t total = metre.Sixteenths();
  const size_t columnCount = columns.detail.size();
  const std::vector<int32_t> busyness = SpreadLevels(columns.detail);

  // The emptiest bars rest, up to one in four, never a phrase's first or last.
  std::vector<int64_t> cellDetail(metre.bars);
  std::vector<uint32_t> candidates;
  for (uint32_t bar = 0; bar < metre.bars; ++bar) {
    const auto span = ColumnsUnder(columnCount, bar * barLength, (bar + 1) * barLength, total);
    cellDetail[bar] = MeanOver(columns.detail, span) / std::max<int64_t>(columns.rows, 1);
    const uint32_t inPhrase = bar % kBarsPerPhrase;
    if (cellDetail[bar] < kEmptyCellDetail && inPhrase != 0 && inPhrase != kBarsPerPhrase - 1) {
      candidates.push_back(bar);
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](uint32_t a, uint32_t b) { return cellDetail[a] < cellDetail[b]; });
  candidates.resize(std::min<size_t>(candidates.size(), metre.bars / kRestingBarsOutOf));
  std::vector<bool> resting(metre.bars, false);
  for (const uint32_t bar : candidates) resting[bar] = true;

  std::vector<Slot> slots;
  std::array<uint32_t, 3> choice{};
  for (uint32_t bar = 0; bar < metre.bars; ++bar) {
    const uint32_t inPhrase = bar % kBarsPerPhrase;
    if (inPhrase == 0) {
      for (uint32_t& c : choice) c = DrawNumber(bits, 2);
    }
    const uint32_t start = bar * barLength;
    const auto span = ColumnsUnder(columnCount, start, start + barLength, total);
    const int64_t level = MeanOver(busyness, span);
    const size_t tier = level < kLevelTop / 3 ? 0 : level < 2 * kLevelTop / 3 ? 1 : 2;
    const bool closing = inPhrase == kBarsPerPhrase - 1;
    const Rhythm& rhythm =
        closing        ? rhythms.closing[DrawNumber(bits, 2) % rhythms.closing.size()]
        : resting[bar] ? rhythms.resting
                       : rhythms.byBusyness[tier][choice[tier] % rhythms.byBusyness[tier].size()];
    uint32_t onset = start;
    for (size_t i = 0; i < rhythm.size(); ++i) {
      Slot slot;
      slot.onset = onset;
      slot.length = rhythm[i];
      slot.rest = resting[bar] && i > 0;
      const uint32_t inBar = onset - start;
      slot.strong = inBar == 0 || (metre.beatsPerBar == 4 && inBar == barLength / 2);
      slot.phraseEnd = closing && i + 1 == rhythm.size();
      slots.push_back(slot);
      onset += rhythm[i];
    }
  }
  return slots;
}

}  // namespace pixorale
