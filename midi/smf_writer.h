#pragma once

#include <ostream>
#include <string>

#include "midi/song.h"

namespace pixorale {

// Writes one event. Returns false right after an End of Track, true after any other event.
bool WriteEvent(const MidiEvent& event, std::ostream& out);
// Writes one "MTrk" chunk, recomputing the track's byteLength first. True while the stream
// is still good.
bool WriteTrack(Track& track, std::ostream& out);
// Writes the header chunk and the first trackCount tracks. False when the song announces
// more tracks than it holds (nothing is written then) or the stream failed.
bool WriteSong(Song& song, std::ostream& out);
// Writes the song as a Standard MIDI File. An existing regular file is replaced only once
// the new one is complete on disk; false when anything could not be written.
bool WriteSongFile(Song& song, const std::string& path);

}  // namespace pixorale
