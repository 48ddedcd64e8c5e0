#include "render/song_timeline.h"

#include <algorithm>
#include <array>
#include <cstdint>

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
  // A tempo event of the song: where it stands and the tempo it sets.
  struct Event {
    uint64_t tick = 0;
    uint32_t quarterMicroseconds = 0;
  };

  // `events` in track order, each track's in file order.
  TempoMap(const Song& song, std::vector<Event> events)
      : division_(song.division), milliseconds_(IsMillisecondTiming(song.timingMode)) {
    // Equal ticks keep track order, as a player reads them: the last one holds.
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    for (const Event& event : events) {
      const double seconds = SecondsAt(event.tick);
      changes_.push_back({event.tick, seconds, event.quarterMicroseconds});
    }
  }

  double SecondsAt(uint64_t tick) const {
    if (milliseconds_) return static_cast<double>(tick) / kMillisecondTicksPerSecond;
    if (division_ == 0) return 0.0;  // no tick has a length: everything stands at 0
    // The last change at or before the tick; before the first, the default tempo from 0. A
    // song mostly has one change, at its start.
    const auto after = changes_.size() == 1 && changes_[0].tick <= tick
                           ? changes_.end()
                           : std::upper_bound(changes_.begin(), changes_.end(), tick,
                                              [](uint64_t wanted, const Change& change) {
                                                return wanted < change.tick;
                                              });
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

size_t EventCount(const Song& song) {
  size_t count = 0;
  for (size_t t = 0; t < PlayedTracks(song); ++t) count += song.tracks[t].events.size();
  return count;
}

}  // namespace

SongTimeline BuildTimeline(const Song& song) {
  std::vector<TickedEvent> ticked;
  ticked.reserve(EventCount(song));
  std::vector<TempoMap::Event> tempoEvents;
  uint64_t lastTick = 0;
  const auto earlier = [](const TickedEvent& a, const TickedEvent& b) { return a.tick < b.tick; };
  for (size_t t = 0; t < PlayedTracks(song); ++t) {
    const size_t trackStart = ticked.size();
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) {
      tick += event.delta.value;
      if (IsChannelEvent(event.status)) {
        ticked.push_back({tick, event.status, event.data1, event.data2, static_cast<uint16_t>(t)});
      } else if (IsTempoEvent(event)) {
        tempoEvents.push_back({tick, TempoOf(event)});
      }
    }
    lastTick = std::max(lastTick, tick);
    // Each track is in time order already: merged in, equal ticks keep track order, then file
    // order, as a player reads them.
    std::inplace_merge(ticked.begin(), ticked.begin() + static_cast<ptrdiff_t>(trackStart),
                       ticked.end(), earlier);
  }

  const TempoMap tempo(song, std::move(tempoEvents));
  SongTimeline timeline;
  timeline.events.reserve(ticked.size());
  for (const TickedEvent& t : ticked) {
    timeline.events.push_back({tempo.SecondsAt(t.tick), t.status, t.data1, t.data2[0], t.track});
  }
  timeline.lengthSeconds = tempo.SecondsAt(lastTick);
  return timeline;
}

SongNotes CollectNotes(const Song& song) {
  // One pass over the events: the notes in ticks (kept in the spans' times, exact below 2^53,
  // until the tempo events are known), the tempo events and the last tick; then ticks become
  // seconds.
  SongNotes result;
  std::vector<NoteSpan>& notes = result.notes;
  notes.reserve(EventCount(song) / 2);  // a note-on and a note-off each, mostly
  constexpr double kSounding = -1.0;    // the end of a note nothing has ended yet
  std::vector<TempoMap::Event> tempoEvents;
  uint64_t lastTick = 0;
  // The notes still sounding, per channel and pitch, oldest first: a queue threaded through
  // `waiting` (the next note of each note), so that none needs memory of its own.
  constexpr size_t kNone = SIZE_MAX;
  std::array<size_t, 16 * 128> oldest{};
  std::array<size_t, 16 * 128> newest{};
  std::vector<size_t> waiting;
  waiting.reserve(notes.capacity());
  for (size_t t = 0; t < PlayedTracks(song); ++t) {
    const size_t trackStart = notes.size();
    oldest.fill(kNone);
    newest.fill(kNone);
    waiting.clear();
    uint64_t tick = 0;
    for (const MidiEvent& event : song.tracks[t].events) {
      tick += event.delta.value;
      const uint8_t kind = event.status & 0xF0;
      if (kind != midi_status::kNoteOn && kind != midi_status::kNoteOff) {
        if (IsTempoEvent(event)) tempoEvents.push_back({tick, TempoOf(event)});
        continue;
      }
      const uint8_t channel = event.status & 0x0F;
      const size_t slot = size_t{channel} * 128 + (event.data1 & 0x7F);
      if (kind == midi_status::kNoteOn && event.data2[0] != 0) {
        const size_t index = notes.size() - trackStart;
        notes.push_back({static_cast<double>(tick), kSounding,
                         static_cast<uint8_t>(event.data1 & 0x7F), channel, event.data2[0],
                         static_cast<uint16_t>(t)});
        waiting.push_back(kNone);
        if (newest[slot] == kNone) {
          oldest[slot] = index;
        } else {
          waiting[newest[slot]] = index;
        }
        newest[slot] = index;
      } else if (oldest[slot] != kNone) {
        const size_t ended = oldest[slot];
        notes[trackStart + ended].end = static_cast<double>(tick);
        oldest[slot] = waiting[ended];
        if (oldest[slot] == kNone) newest[slot] = kNone;
      }
    }
    lastTick = std::max(lastTick, tick);
    // Merged in by start: equal ticks keep track order, then file order.
    std::inplace_merge(notes.begin(), notes.begin() + static_cast<ptrdiff_t>(trackStart),
                       notes.end(),
                       [](const NoteSpan& a, const NoteSpan& b) { return a.start < b.start; });
  }

  const TempoMap tempo(song, std::move(tempoEvents));
  result.lengthSeconds = tempo.SecondsAt(lastTick);
  const auto secondsAt = [&tempo](double tick) {
    return tempo.SecondsAt(static_cast<uint64_t>(tick));
  };
  for (NoteSpan& note : notes) {
    note.end = note.end == kSounding ? result.lengthSeconds : secondsAt(note.end);
    note.start = secondsAt(note.start);
  }
  return result;
}

}  // namespace pixorale
