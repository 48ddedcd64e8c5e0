#include "app/conversion_ui.h"

#include "midi/smf_writer.h"

namespace pixorale {

bool ConversionUi::SaveSong(Song& song, const std::string& path) {
  return WriteSongFile(song, path);
}

}  // namespace pixorale
