#pragma once

#include <ostream>
#include <string>

#include "io/atomic_file.h"
#include "io/io_result.h"
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
// How a MIDI file is put in place unless told otherwise: a new MIDI file is not flushed on
// its own (a crash can cost only the file just made); an existing one is replaced only once
// the new one is complete on disk.
inline constexpr WriteOptions kMidiWriteOptions{.syncNewFile = SyncNewFile::kNo};

// Writes the song as a Standard MIDI File, never half a file.
IoResult WriteSongFile(Song& song, const std::string& path,
                       const WriteOptions& options = kMidiWriteOptions);

}  // namespace pixorale
