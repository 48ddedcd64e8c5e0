#include "midi/song.h"

namespace pixorale {

void Song::ClearSong() {
  format = 0;
  trackCount = 0;
  division = 0;
  timingMode = 0;
  tracks.clear();
}

}  // namespace pixorale
