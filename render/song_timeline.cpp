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

// The tracks the song plays: those it announces and holds.
size_t PlayedTracks(const Song& song) {
  return std::min<size_t>(song.trackCount, song.tracks.size());
}

// Converts ticks to seconds, following the tempo events of every track.
class TempoMap {
 public:
  explicit TempoMap(const Song& song)
      : division_(song.division), milliseconds_(IsMillisecondTiming(song.timingMode)) {
    std::vector<Change> changes;
    for (size_t t = 0; t < PlayedTracks(song); ++t) {
      uint64_t tick = 0;
      for (const MidiEvent& event : song.tracks[t].events) {
        tick += event.delta.value;
        if (IsTempoEvent(event)) changes.push_back({tick, 0.0, TempoOf(event)});
      }
    }
    // Equal ticks keep track order, as a player reads them: the last one holds.
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Change& a, const Change& b) { return a.tick < b.tick; });
    for (const Change& change : changes) {
      const double seconds = SecondsAt(change.tick);
      changes_.push_back({change.tick, seconds, change.quarterMicroseconds});
    }
  }

  double SecondsAt(uint64_t tick) const {
    if (milliseconds_) return static_cast<double>(tick) / kMillisecondTicksPerSecond;
    if (division_ == 0) return 0.0;  // no tick has a length: everything stands at 0
    // The last change at or before the tick; before the first, the default tempo from 0.
    const auto after = std::upper_bound(
        changes_.begin(), changes_.end(), tick,
        [](uint64_t wanted, const Change& change) { return wanted < change.tick; });
    const Change start = after == changes_.begin() ? Change{} : *(after - 1);
    return start.seconds + BeatTicksToSeconds(static_cast<double>(tick - start.tick), division_,
                                              start.quarterMicroseconds);
  }

 private:
  struct Change {
    uint64_t tick = 0;
    double seconds = 0.0;
    uint32_t quarterMicroseconds = kDefaultQuarterMicroseconds;
  };

  uint16_t division_;
  bool milliseconds_;
  std::vector<Change> changes_;
};

uint64_t LastTick(const Song& song) {
  uint64_t lastTick = 0;
  for (size_t t = 0; t < PlayedTracks(song); ++t) {
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) tick += event.delta.value;
    lastTick = std::max(lastTick, tick);
  }
  return lastTick;
}

}  // namespace

SongTimeline BuildTimeline(const Song& song) {
  std::vector<TickedEvent> ticked;
  size_t eventCount = 0;
  for (size_t t = 0; t < PlayedTracks(song); ++t) eventCount += song.tracks[t].events.size();
  ticked.reserve(eventCount);
  const auto earlier = [](const TickedEvent& a, const TickedEvent& b) { return a.tick < b.tick; };
  for (size_t t = 0; t < PlayedTracks(song); ++t) {
    const size_t trackStart = ticked.size();
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) {
      tick += event.delta.value;
      if (IsChannelEvent(event.status)) {
        ticked.push_back({tick, event.status, event.data1, event.data2, static_cast<uint16_t>(t)});
      }
    }
    // Each track is in time order already: merged in, equal ticks keep track order, then file
    // order, as a player reads them.
    std::inplace_merge(ticked.begin(), ticked.begin() + static_cast<ptrdiff_t>(trackStart),
                       ticked.end(), earlier);
  }

  const TempoMap tempo(song);
  SongTimeline timeline;
  timeline.events.reserve(ticked.size());
  for (const TickedEvent& t : ticked) {
    timeline.events.push_back({tempo.SecondsAt(t.tick), t.status, t.data1, t.data2[0], t.track});
  }
  timeline.lengthSeconds = tempo.SecondsAt(LastTick(song));
  return timeline;
}

SongNotes CollectNotes(const Song& song) {
  const TempoMap tempo(song);
  const double lengthSeconds = tempo.SecondsAt(LastTick(song));
  // Each note with the tick it starts at, to merge the tracks' notes by.
  struct StartedNote {
    uint64_t tick = 0;
    NoteSpan span;
  };
  std::vector<StartedNote> notes;
  // Open notes per channel and pitch, oldest first, as indices into `notes`.
  std::vector<std::vector<size_t>> open(16 * 128);
  for (size_t t = 0; t < PlayedTracks(song); ++t) {
    const size_t trackStart = notes.size();
    for (std::vector<size_t>& slot : open) slot.clear();
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) {
      tick += event.delta.value;
      const uint8_t kind = event.status & 0xF0;
      if (kind != midi_status::kNoteOn && kind != midi_status::kNoteOff) continue;
      const uint8_t channel = event.status & 0x0F;
      const size_t slot = size_t{channel} * 128 + (event.data1 & 0x7F);
      if (kind == midi_status::kNoteOn && event.data2[0] != 0) {
        open[slot].push_back(notes.size());
        notes.push_back(
            {tick,
             {tempo.SecondsAt(tick), lengthSeconds, static_cast<uint8_t>(event.data1 & 0x7F),
              channel, event.data2[0], static_cast<uint16_t>(t)}});
      } else if (!open[slot].empty()) {
        notes[open[slot].front()].span.end = tempo.SecondsAt(tick);
        open[slot].erase(open[slot].begin());
      }
    }
    // Merged in by start: equal ticks keep track order, then file order.
    std::inplace_merge(notes.begin(), notes.begin() + static_cast<ptrdiff_t>(trackStart),
                       notes.end(),
                       [](const StartedNote& a, const StartedNote& b) { return a.tick < b.tick; });
  }
  SongNotes result;
  result.lengthSeconds = lengthSeconds;
  result.notes.reserve(notes.size());
  for (const StartedNote& note : notes) result.notes.push_back(note.span);
  return result;
}

}  // namespace pixorale
