#pragma once

#include <cstdint>

#include "convert/melody.h"
#include "image/bitmap_image.h"

namespace pixorale {

// How long the song of the picture resampled to `columns` columns lasts, in seconds: the
// steps of its columns plus the last note's sustain. Pitches play no part, so no random
// direction is drawn.
double SongSecondsAt(const BitmapImage& image, const ConversionParameters& params,
                     uint32_t columns);

// As many columns as fit in `maxSeconds`: from min(W, floor(W * S / L)), L being the length
// of the whole picture's song, one fewer while the song is still longer; at least one.
uint32_t ColumnsWithin(const BitmapImage& image, const ConversionParameters& params,
                       double maxSeconds);

}  // namespace pixorale
