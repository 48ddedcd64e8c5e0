#include "render/song_timeline.h"

#include <algorithm>
#include <array>

#include "midi/song_time.h"

namespace pixorale {
namespace {

constexpr uint32_t kDefaultQuarterMicroseconds = 500'000;

// What the timeline needs of an event, copied: a track hands out its events by value.
struct TickedEvent {
  uint64_t tick = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  std::array<uint8_t, 3> data2{};
  uint16_t track = 0;
};

bool IsChannelEvent(uint8_t status) {
  return status >= 0x80 && status < 0xF0;
}

// Converts ticks to seconds, following tempo changes as they come.
class Clock {
 public:
  Clock(uint16_t division, bool milliseconds) : division_(division), milliseconds_(milliseconds) {}

  double SecondsAt(uint64_t tick) const {
    if (milliseconds_) return static_cast<double>(tick) / kMillisecondTicksPerSecond;
    if (division_ == 0) return 0.0;  // no tick has a length: everything stands at 0
    return tempoSeconds_ + BeatTicksToSeconds(static_cast<double>(tick - tempoTick_), division_,
                                              quarterMicroseconds_);
  }

  void ChangeTempo(uint64_t tick, uint32_t quarterMicroseconds) {
    tempoSeconds_ = SecondsAt(tick);
    tempoTick_ = tick;
    quarterMicroseconds_ = quarterMicroseconds;
  }

 private:
  uint16_t division_;
  bool milliseconds_;
  uint64_t tempoTick_ = 0;
  double tempoSeconds_ = 0.0;
  uint32_t quarterMicroseconds_ = kDefaultQuarterMicroseconds;
};

}  // namespace

SongTimeline BuildTimeline(const Song& song) {
  std::vector<TickedEvent> ticked;
  uint64_t lastTick = 0;
  const size_t trackCount = std::min<size_t>(song.trackCount, song.tracks.size());
  size_t eventCount = 0;
  for (size_t t = 0; t < trackCount; ++t) eventCount += song.tracks[t].events.size();
  ticked.reserve(eventCount);
  const auto earlier = [](const TickedEvent& a, const TickedEvent& b) { return a.tick < b.tick; };
  for (size_t t = 0; t < trackCount; ++t) {
    const size_t trackStart = ticked.size();
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) {
      tick += event.delta.value;
      if (IsChannelEvent(event.status) || IsTempoEvent(event)) {
        ticked.push_back({tick, event.status, event.data1, event.data2, static_cast<uint16_t>(t)});
      }
    }
    lastTick = std::max(lastTick, tick);
    // Each track is in time order already: merged in, equal ticks keep track order, then file
    // order, as a player reads them.
    std::inplace_merge(ticked.begin(), ticked.begin() + static_cast<ptrdiff_t>(trackStart),
                       ticked.end(), earlier);
  }

  SongTimeline timeline;
  timeline.events.reserve(ticked.size());
  Clock clock(song.division, IsMillisecondTiming(song.timingMode));
  for (const TickedEvent& t : ticked) {
    if (IsTempoEvent(t)) {
      clock.ChangeTempo(t.tick, TempoOf(t));
      continue;
    }
    timeline.events.push_back({clock.SecondsAt(t.tick), t.status, t.data1, t.data2[0], t.track});
  }
  timeline.lengthSeconds = clock.SecondsAt(lastTick);
  return timeline;
}

std::vector<NoteSpan> CollectNotes(const SongTimeline& timeline) {
  std::vector<NoteSpan> notes;
  notes.reserve(timeline.events.size() / 2);  // a note-on and a note-off each, mostly
  // Open notes per channel and pitch, oldest first, as indices into `notes`.
  std::vector<std::vector<size_t>> open(16 * 128);
  for (const TimedEvent& event : timeline.events) {
    const uint8_t kind = event.status & 0xF0;
    const uint8_t channel = event.status & 0x0F;
    const size_t slot = size_t{channel} * 128 + (event.data1 & 0x7F);
    const bool noteOn = kind == midi_status::kNoteOn && event.data2 != 0;
    const bool noteOff = kind == midi_status::kNoteOff || (kind == midi_status::kNoteOn && !noteOn);
    if (noteOn) {
      open[slot].push_back(notes.size());
      notes.push_back({event.seconds, timeline.lengthSeconds,
                       static_cast<uint8_t>(event.data1 & 0x7F), channel, event.data2,
                       event.track});
    } else if (noteOff && !open[slot].empty()) {
      notes[open[slot].front()].end = event.seconds;
      open[slot].erase(open[slot].begin());
    }
  }
  return notes;
}

}  // namespace pixorale
