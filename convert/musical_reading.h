#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pixorale {

// What of the whole picture the melody's contour follows, column by column.
enum class ContourFeature : uint8_t {
  kSkyline,  // how high the column's detail reaches: a mountain range rises and falls
  kLight,    // how bright the column is
  kDetail,   // how much detail the column holds
};
inline constexpr std::array<std::string_view, 3> kContourFeatureNames = {"skyline", "light",
                                                                         "detail"};

// The song's length with the metre, and the pitch range of the contour when no map gives one:
// C4 to C6, a melody instrument's own range, above the chords.
inline constexpr double kDefaultSongSeconds = 60.0;
inline constexpr uint8_t kDefaultContourLow = 60;
inline constexpr uint8_t kDefaultContourHigh = 84;

// The musical reading of a picture, part by part; each part is taken on its own. With none of
// them the conversion is the plain one.
struct MusicalReading {
  std::optional<ContourFeature> contour;  // pitches from the whole picture, not one row
  bool metre = false;    // tempo and bars, every onset on a grid of sixteenths, phrases
  bool melodic = false;  // steps and neighbour tones instead of repeats, leaps stepped back
  bool harmony = false;  // a progression in the key under the melody's strong beats
  std::optional<double> songSeconds;  // the length with the metre (kDefaultSongSeconds)

  bool Any() const { return contour || metre || melodic || harmony; }
  // The contour and the metre read the whole picture's summary.
  bool NeedsSummary() const { return contour || metre; }
  bool operator==(const MusicalReading&) const = default;
};

// Where a melody note of the musical reading was read in the picture: columns firstColumn to
// endColumn - 1 and rows topRow to bottomRow - 1, counted in the picture's own pixels with row
// 0 at the top.
struct NoteSource {
  uint32_t firstColumn = 0;
  uint32_t endColumn = 0;
  uint32_t topRow = 0;
  uint32_t bottomRow = 0;
  bool operator==(const NoteSource&) const = default;
};

}  // namespace pixorale
