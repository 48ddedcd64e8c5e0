#include "app/song_outputs.h"

#include "midi/smf_writer.h"

namespace pixorale {

std::vector<OutputReport> MidiFileOutput::Write(Song& song, const std::string& savePath) {
  OutputReport report{OutputKind::kMidi, savePath, WriteSongFile(song, savePath), {}};
  if (!report.io.ok()) report.error = DescribeIoResult(report.io);
  return {report};
}

}  // namespace pixorale
