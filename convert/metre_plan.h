#pragma once

#include <cstdint>
#include <vector>

#include "convert/picture_contour.h"
#include "convert/random_bits.h"

namespace pixorale {

inline constexpr uint32_t kSixteenthsPerBeat = 4;
inline constexpr uint32_t kBarsPerPhrase = 4;

// The song's tempo and bars.
struct Metre {
  uint32_t beatsPerBar = 4;  // quarter notes: 4/4 or 3/4
  uint32_t tempo = 96;       // quarter notes per minute
  uint32_t bars = 0;         // a whole number of phrases

  uint32_t SixteenthsPerBar() const { return beatsPerBar * kSixteenthsPerBeat; }
  uint32_t Sixteenths() const { return bars * SixteenthsPerBar(); }
};

// One note or rest of the melody, on the grid of sixteenths.
struct Slot {
  uint32_t onset = 0;   // sixteenths from the start
  uint32_t length = 0;  // sixteenths
  bool rest = false;
  bool phraseEnd = false;  // the last note of its phrase
  bool strong = false;     // on the first beat of a bar, or the third of 4/4
};

// The tempo from how busy the whole picture is (84 to 132), three beats in a bar for a
// picture taller than wide, four otherwise, and as many bars as fill `seconds`, rounded to
// whole phrases (at least one).
Metre ChooseMetre(const PictureColumns& columns, uint32_t pictureWidth, uint32_t pictureHeight,
                  double seconds);

// The notes and rests of every bar: each bar takes a rhythm of its own busyness (long notes
// where its columns are calm, short where they are busy), the same rhythm for bars alike
// within a phrase; a phrase's last bar ends on a long note; the emptiest bars (at most one in
// four, never a phrase's first or last) play one note and rest.
std::vector<Slot> PlanRhythm(const Metre& metre, const PictureColumns& columns,
                             RandomBitSource& bits);

// A number from `count` draws of the bit source, lowest bit first.
uint32_t DrawNumber(RandomBitSource& bits, unsigned count);

}  // namespace pixorale
