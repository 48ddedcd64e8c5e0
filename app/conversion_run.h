#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/conversion_settings.h"
#include "app/conversion_ui.h"
#include "convert/random_bits.h"
#include "image/bitmap_image.h"
#include "midi/song.h"

namespace pixorale {

// The program's long-lived objects: one each for the whole run. Between two conversion runs
// the song is empty and the image holds no rows.
struct ProgramState {
  ConversionSettings settings;
  Song song;
  BitmapImage image;
};

enum class RunStatus {
  kWritten,        // the MIDI file was written
  kCannotOpen,     // the picture could not be opened or read; nothing was shown
  kClaimsTooMuch,  // the header claims more pixel data than the file holds; nothing shown
  kUndecodable,    // a damaged PNG or JPEG, or a picture past a limit; nothing was shown
  kNot24Bit,       // refused with the 24-bit message
  kCancelled,      // no save path was given; nothing written
  kWriteFailed,    // the MIDI file could not be written; the user was told
};

// What a run did, for front ends that report it; the desktop program ignores it.
struct RunReport {
  RunStatus status = RunStatus::kCannotOpen;
  PictureLoad picture;    // how reading the picture went, and why it failed
  uint16_t bitCount = 0;  // of the picture, once its header was read
  std::string outputPath;
  uint64_t noteCount = 0;   // note-ons over all tracks
  uint8_t lowestPitch = 0;  // of the note-ons, when there are any
  uint8_t highestPitch = 0;
  uint16_t trackCount = 0;
  uint64_t lengthTicks = 0;  // of the longest track
  uint16_t division = 0;
  uint32_t quarterMicroseconds = 0;  // of the song's tempo event
};

// Loads the picture, converts it with the settings as they are now, asks where to save and
// writes the MIDI file; the song and the image are empty again afterwards on every path.
RunReport RunConversion(std::string_view path, ProgramState& state, RandomBitSource& bits,
                        ConversionUi& ui);

}  // namespace pixorale
