#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_settings.h"
#include "app/conversion_ui.h"
#include "app/song_outputs.h"
#include "convert/melody.h"
#include "convert/random_bits.h"
#include "image/bitmap_image.h"
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
  kNot24Bit,       // refused with the 24-bit message
  kCancelled,      // no save path was given; nothing written
  kWriteFailed,    // an output could not be made (see `outputs`); the user was told
  kOutOfMemory,    // the picture, the song or an output needed more memory than there is
};

// What the converted song holds, for the shells that report it.
struct SongSummary {
  uint64_t noteCount = 0;   // note-ons over all tracks
  uint8_t lowestPitch = 0;  // of the note-ons, when there are any
  uint8_t highestPitch = 0;
  uint16_t trackCount = 0;
  uint64_t lengthTicks = 0;  // of the longest track
  uint16_t division = 0;
  uint8_t timingMode = 0;
  uint32_t quarterMicroseconds = 0;  // of the song's tempo event
};

// What a run did, step by step; the desktop programs ignore it.
struct RunReport {
  RunStatus status = RunStatus::kCannotOpen;
  PictureLoad picture;    // how reading the picture went
  uint16_t bitCount = 0;  // of the picture, once its header was read
  SongSummary song;
  uint32_t columns = 0;  // of the picture as converted, after any resampling
  // Where each melody note of the musical reading was read in the picture; empty for the
  // plain conversion.
  std::vector<NoteSource> noteSources;
  std::string outputPath;             // the save prompt's answer
  std::vector<OutputReport> outputs;  // one per output the song went to, in order
};

// Loads the picture from the source, converts it with the settings as they are now, asks
// where to save and hands the song to the outputs; the song and the image are empty again
// afterwards on every path.
RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        ConversionUi& ui, const PictureSource& picture, SongOutputs& outputs);

}  // namespace pixorale
