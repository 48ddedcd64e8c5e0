#pragma once

#include <vector>

#include "convert/melody.h"

namespace pixorale {

// The musical reading of a picture (params.controls.reading): empties the song and fills it
// with the melody, and with chordMode the chords (in the key with a bass under the harmony,
// else by the plain chord rule). The contour and the metre read image.summary; without one
// they fall back to the pitch row and to the steps of the plain conversion. `sources`, when
// given, receives where each melody note was read, one for each note-on of the melody track,
// in their order. Always returns
// true.
bool ConvertMusically(Song& song, BitmapImage& image, const ConversionParameters& params,
                      RandomBitSource& bits, std::vector<NoteSource>* sources);

}  // namespace pixorale
