#include "convert/chords.h"

#include <vector>

#include "convert/track_events.h"

namespace pixorale {
namespace {

constexpr int kOctave = 12;

enum class Fit { kFree, kClash, kCovered };

struct Candidate {
  int pitch;
  Fit fit;
};

// Moves the melody pitch by octaves next to each held note in turn (the moves carry over)
// and stops at the first held note that it clashes with (a semitone off) or that covers it
// (the same note or a whole tone off).
Candidate PlaceAgainstChord(int pitch, const std::vector<uint8_t>& heldNotes) {
  for (const int held : heldNotes) {
    while (pitch + 11 < held) pitch += kOctave;
    while (held + 11 < pitch) pitch -= kOctave;
    const int distance = pitch - held;
    if (distance == 1 || distance == -1) return {pitch, Fit::kClash};
    if (distance == 0 || distance == 2 || distance == -2) return {pitch, Fit::kCovered};
  }
  return {pitch, Fit::kFree};
}

class ChordBuilder {
 public:
  ChordBuilder(uint16_t division, Voice voice)
      : limit_(4u * uint32_t{division}), velocity_(voice.velocity) {
    track_.ClearEvents();
    track_.AppendEvent(track_events::ProgramChange(kChordChannel, voice.program));
  }

  void Follow(const MidiEvent& melodyEvent) {
    chordTime_ += melodyEvent.delta.value;
    if (melodyEvent.IsEndOfTrack()) {
      CloseChord();
    } else if (melodyEvent.status == midi_status::kNoteOn) {
      OnMelodyNote(melodyEvent.data1);
    }
  }

  Track Finish() {
    heldNotes_.clear();
    track_.AppendEvent(track_events::EndOfTrack());
    track_.ComputeLength();
    return std::move(track_);
  }

 private:
  void OnMelodyNote(uint8_t melodyPitch) {
    const Candidate candidate = PlaceAgainstChord(melodyPitch, heldNotes_);
    const auto pitch = static_cast<uint8_t>(candidate.pitch);
    if (chordTime_ > limit_ || candidate.fit == Fit::kClash) {
      Restart(pitch);
    } else if (candidate.fit == Fit::kFree) {
      // The new note sounds from the chord's start; the time limit keeps counting from there.
      track_.AppendEvent(track_events::NoteOn(kChordChannel, pitch, velocity_, 0));
      heldNotes_.push_back(pitch);
    }
  }

  // Only the first note-off carries the time since the chord's last event.
  void CloseChord() {
    for (const uint8_t held : heldNotes_) {
      track_.AppendEvent(track_events::NoteOff(kChordChannel, held, chordTime_));
      chordTime_ = 0;
    }
  }

  void Restart(uint8_t pitch) {
    CloseChord();
    heldNotes_.clear();
    track_.AppendEvent(track_events::NoteOn(kChordChannel, pitch, velocity_, chordTime_));
    chordTime_ = 0;
    heldNotes_.push_back(pitch);
  }

  const uint32_t limit_;
  const uint8_t velocity_;
  Track track_;
  std::vector<uint8_t> heldNotes_;
  uint32_t chordTime_ = 0;  // ticks since the chord began: where the track's last event stands
};

}  // namespace

void BuildChordTrack(Song& song, uint16_t division, Voice voice) {
  if (song.tracks.empty()) return;  // there is no melody to follow
  song.trackCount = 2;
  ChordBuilder chords(division, voice);
  for (const MidiEvent& event : song.tracks.front().events) chords.Follow(event);
  song.AppendTrack(chords.Finish());
}

}  // namespace pixorale
