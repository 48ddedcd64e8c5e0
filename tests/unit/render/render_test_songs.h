#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <utility>
#include <vector>

#include "convert/track_events.h"
#include "io/atomic_file.h"
#include "midi/song.h"

namespace pixorale::test {

// Writes what `render` makes to a file through the writer the converter uses: the render's
// result, with `io` from the writer when the file itself failed.
template <typename Render>
auto RenderToFile(const std::filesystem::path& path, const Render& render,
                  const WriteOptions& options = {}) {
  decltype(render(std::declval<std::ostream&>())) result;
  const IoResult written = WriteFileAtomically(
      path.string(),
      [&](std::ostream& out) {
        result = render(out);
        return result.ok();
      },
      options);
  if (!written && written.failedStep != IoStep::kBody) {
    result.io = written;
    result.error = DescribeIoResult(written);
  }
  return result;
}

// A note of a test song: pitch, channel, velocity, and its note-on and note-off in ticks.
struct TestNote {
  uint8_t pitch = 60;
  uint8_t channel = 0;
  uint8_t velocity = 100;
  uint32_t on = 0;
  uint32_t off = 0;
};

// One track per channel used, 480 ticks per quarter note at `tempo` microseconds per
// quarter note (500000: 120 beats per minute, so one quarter note lasts 0.5 s), every channel
// playing General MIDI `program`.
inline Song MakeSong(const std::vector<TestNote>& notes, uint32_t tempo = 500000,
                     uint8_t program = 0) {
  Song song;
  song.format = 1;
  song.division = 480;
  for (uint8_t channel = 0; channel < 2; ++channel) {
    std::vector<std::pair<uint32_t, MidiEvent>> timed;
    for (const TestNote& n : notes) {
      if (n.channel != channel) continue;
      timed.emplace_back(n.on, track_events::NoteOn(channel, n.pitch, n.velocity, 0));
      timed.emplace_back(n.off, track_events::NoteOff(channel, n.pitch, 0));
    }
    if (timed.empty()) continue;
    std::stable_sort(timed.begin(), timed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    Track track;
    if (channel == 0) track.AppendEvent(track_events::Tempo(tempo));
    track.AppendEvent(track_events::ProgramChange(channel, program));
    uint32_t tick = 0;
    for (auto& [at, event] : timed) {
      event.delta.Assign(at - tick);
      tick = at;
      track.AppendEvent(event);
    }
    track.AppendEvent(track_events::EndOfTrack());
    song.AppendTrack(track);
  }
  song.trackCount = static_cast<uint16_t>(song.tracks.size());
  return song;
}

}  // namespace pixorale::test
