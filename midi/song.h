#pragma once

#include <cstdint>
#include <vector>

#include "midi/track.h"

namespace pixorale {

// The file header keeps 15 bits of the division (ticks per quarter note); its top bit says
// whether the rest is a frame rate instead.
inline constexpr uint16_t kMaxDivision = 0x7FFF;

// The song being built. `trackCount` is what the file header announces; it is set by the
// conversion and not derived from `tracks`.
struct Song {
  uint16_t format = 0;
  uint16_t trackCount = 0;
  uint16_t division = 0;
  uint8_t timingMode = 0;  // only the lowest bit reaches the file
  std::vector<Track> tracks;

  void AppendTrack(const Track& track) { tracks.push_back(track); }
  void AppendTrack(Track&& track) { tracks.push_back(std::move(track)); }
  // Zeroes the header and releases every track.
  void ClearSong();
};

}  // namespace pixorale
