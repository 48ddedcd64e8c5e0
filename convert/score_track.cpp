#include "convert/score_track.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "convert/track_events.h"

namespace pixorale {
namespace {

struct TimedEvent {
  uint32_t tick = 0;
  bool on = false;
  uint8_t pitch = 0;
  uint8_t velocity = 0;
};

}  // namespace

void AppendScoreNotes(Track& track, std::vector<ScoreNote> notes, uint8_t channel) {
  std::stable_sort(notes.begin(), notes.end(),
                   [](const ScoreNote& a, const ScoreNote& b) { return a.onset < b.onset; });
  // The latest note of each pitch: one struck again ends there.
  constexpr size_t kNone = static_cast<size_t>(-1);
  std::array<size_t, 128> latest;
  latest.fill(kNone);
  for (size_t i = 0; i < notes.size(); ++i) {
    const size_t before = latest[notes[i].pitch & 0x7F];
    if (before != kNone && notes[before].end > notes[i].onset) notes[before].end = notes[i].onset;
    latest[notes[i].pitch & 0x7F] = i;
  }
  std::vector<TimedEvent> events;
  events.reserve(2 * notes.size());
  for (const ScoreNote& note : notes) {
    if (note.end <= note.onset) continue;
    events.push_back({note.onset, true, note.pitch, note.velocity});
    events.push_back({note.end, false, note.pitch, 0});
  }
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    return std::tie(a.tick, a.on) < std::tie(b.tick, b.on);
  });
  uint32_t now = 0;
  for (const TimedEvent& event : events) {
    const uint32_t delta = event.tick - now;
    now = event.tick;
    track.AppendEvent(event.on ? track_events::NoteOn(channel, event.pitch, event.velocity, delta)
                               : track_events::NoteOff(channel, event.pitch, delta));
  }
}

}  // namespace pixorale
