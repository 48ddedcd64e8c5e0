#include "app/conversion_ui.h"

#include "midi/smf_writer.h"

namespace pixorale {

PictureLoad ConversionUi::LoadPicture(const std::string& path, BitmapImage& image) {
  return image.LoadBitmapFile(path);
}

bool ConversionUi::SaveSong(Song& song, const std::string& path) {
  return WriteSongFile(song, path);
}

}  // namespace pixorale
