#include "convert/melodic_line.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "convert/metre_plan.h"

namespace pixorale {
namespace {

constexpr int kLongestLeap = 4;      // scale steps: at most a fifth in a seven-note scale
constexpr int kLeapDistance = 6;     // a target this far off is reached by a leap
constexpr int kChordToneReach = 3;   // scale steps searched for a chord's note
constexpr int kClosingReach = 7;     // and for a phrase's closing tone
constexpr size_t kMotifLength = 32;  // choices drawn once, one for each place in a phrase

// The index within `reach` of `from` whose pitch passes `fits`, nearest first, the one that
// is not `avoid` first among equals; `from` itself when none fits.
template <typename Fits>
int Nearest(int from, int reach, int avoid, int count, Fits fits) {
  int fallback = -1;
  for (int distance = 0; distance <= reach; ++distance) {
    for (const int index : {from + distance, from - distance}) {
      if (index < 0 || index >= count || !fits(index)) continue;
      if (index != avoid) return index;
      if (fallback < 0) fallback = index;
    }
  }
  return fallback >= 0 ? fallback : from;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

}  // namespace

std::vector<LineNote> WalkLine(std::span<const LineStep> steps,
                               std::span<const uint8_t> scalePitches, bool melodic,
                               RandomBitSource& bits) {
  std::vector<LineNote> line;
  const int count = static_cast<int>(scalePitches.size());
  if (count == 0) return line;
  std::array<uint32_t, kMotifLength> motif{};
  if (melodic) {
    for (uint32_t& choice : motif) choice = DrawNumber(bits, 3);
  }
  int current = -1;
  int stepBack = 0;
  for (const LineStep& step : steps) {
    const int target = std::clamp(step.target, 0, count - 1);
    int next = target;
    if (melodic && current >= 0) {
      const int distance = target - current;
      if (stepBack != 0) {
        next = current + stepBack;
        stepBack = 0;
      } else if (std::abs(distance) > kLeapDistance) {
        next = current + Sign(distance) * kLongestLeap;
        stepBack = -Sign(distance);
      } else if (std::abs(distance) >= 2) {
        // A step, or a third when the target is far: the line catches up over a few notes.
        next = current + Sign(distance) * (std::abs(distance) >= 4 ? 2 : 1);
      } else if (distance == 0) {
        const uint32_t choice = motif[step.placeInPhrase % kMotifLength];
        if (step.mayLengthen && choice == 0 && !step.chord && step.closingClass < 0) {
          line.push_back({current, true});
          continue;
        }
        const int direction = (choice & 1u) != 0 ? 1 : -1;
        next = current + direction * (choice == 7 ? 2 : 1);
        if (next < 0 || next >= count) next = current - direction;
      }
      next = std::clamp(next, 0, count - 1);
    }
    const int avoid = melodic ? current : -1;
    if (step.chord != nullptr) {
      next = Nearest(next, kChordToneReach, avoid, count, [&](int i) {
        return step.chord->Holds(scalePitches[static_cast<size_t>(i)]);
      });
    }
    if (step.closingClass >= 0) {
      next = Nearest(next, kClosingReach, avoid, count, [&](int i) {
        return scalePitches[static_cast<size_t>(i)] % 12 == step.closingClass;
      });
    }
    if (melodic && next == current && step.mayLengthen) {
      line.push_back({current, true});
      continue;
    }
    current = next;
    line.push_back({current, false});
  }
  return line;
}

}  // namespace pixorale
