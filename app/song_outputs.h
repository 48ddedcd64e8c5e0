#pragma once

#include <string>
#include <vector>

#include "io/io_result.h"
#include "midi/song.h"

namespace pixorale {

// The kinds of file a run can make of a song.
enum class OutputKind { kMidi, kWav, kPianoRoll };

// How making one output went.
struct OutputReport {
  OutputKind kind = OutputKind::kMidi;
  std::string path;
  IoResult io;        // the file step that failed, when the file itself could not be written
  std::string error;  // one line; empty when the output was made
  // Complete, but not put in place because another output of the same song failed: the
  // outputs of a song appear together or not at all.
  bool withheld = false;
  bool ok() const { return error.empty() && io.ok() && !withheld; }
};

// Where a converted song goes: the MIDI file at the path the save prompt gave, and whatever
// else the shell makes of the same song.
class SongOutputs {
 public:
  virtual ~SongOutputs() = default;
  // Makes every output of the song, the MIDI file first; one report per output, in order.
  // The song is only read (writing recomputes each track's byte length, nothing else).
  virtual std::vector<OutputReport> Write(Song& song, const std::string& savePath) = 0;
};

// The desktop programs' output: the MIDI file alone, replacing a file of that name once the
// new one is complete.
class MidiFileOutput final : public SongOutputs {
 public:
  std::vector<OutputReport> Write(Song& song, const std::string& savePath) override;
};

}  // namespace pixorale
