#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_settings.h"
#include "app/save_step.h"
#include "app/song_outputs.h"
#include "convert/melody.h"
#include "convert/random_bits.h"
#include "image/bitmap_image.h"
#include "image/picture_format.h"
#include "image/picture_source.h"
#include "midi/song.h"

namespace pixorale {

// The program's long-lived objects: one each for the whole run. Between two conversion runs
// the song is empty and the image holds no rows.
struct ProgramState {
  ConversionSettings settings;
  Song song;
  BitmapImage image;
  // The voices and musical controls beyond the settings; the desktop programs keep the
  // defaults.
  ConversionControls controls;
};

enum class RunStatus {
  kWritten,        // every output was made
  kCannotOpen,     // the picture could not be opened or read; nothing was shown
  kClaimsTooMuch,  // the header claims more pixel data than the file holds; nothing shown
  kUndecodable,    // a damaged PNG or JPEG; the picture's result says why, nothing shown
  kNot24Bit,       // refused (the desktop programs show the 24-bit message)
  kCancelled,      // no output was chosen; nothing written
  kWriteFailed,    // an output could not be made (see `outputs`)
  kOutOfMemory,    // the picture, the song or an output needed more memory than there is
};

// What a run did, step by step; the desktop programs ignore it.
struct RunReport {
  RunStatus status = RunStatus::kCannotOpen;
  PictureLoad picture;    // how reading the picture went
  uint16_t bitCount = 0;  // of the picture, once its header was read
  // The file's first bytes, once its header was read: they tell what a refused file is.
  std::array<uint8_t, kSignatureBytes> firstBytes{};
  // The picture as read, before any resampling: its size, and whether its first stored row
  // is its top row (see BitmapImage).
  uint32_t pictureWidth = 0;
  uint32_t pictureHeight = 0;
  bool firstRowOnTop = false;
  uint32_t columns = 0;  // of the picture as converted, after any resampling
  // Where each melody note of the musical reading was read in the picture; empty for the
  // plain conversion.
  std::vector<NoteSource> noteSources;
  std::vector<OutputReport> outputs;  // one per output the song went to, in order
};

// Loads the picture from the source, converts it with the settings as they are now and hands
// the song to the save step; the song and the image are empty again afterwards on every path.
RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        const PictureSource& picture, SaveStep& save);

}  // namespace pixorale
