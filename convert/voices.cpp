#include "convert/voices.h"

#include <cassert>

namespace pixorale {
namespace {

constexpr uint8_t kMelodyChannel = 0;
constexpr uint8_t kChordChannel = 1;

void ApplyVoice(MidiEvent& event, const Voice& voice) {
  const uint8_t kind = event.status & 0xF0;
  if (kind == midi_status::kProgramChange) {
    event.data1 = voice.program;
  } else if (kind == midi_status::kNoteOn && event.data2[0] != 0) {
    event.data2[0] = voice.velocity;
  }
}

}  // namespace

void ApplyVoices(Song& song, const SongVoices& voices) {
  assert(voices.melody.velocity > 0 && voices.chords.velocity > 0);
  for (Track& track : song.tracks) {
    track.events.EditEach([&](MidiEvent& event) {
      if (event.status >= midi_status::kSystemExclusive) return;
      const uint8_t channel = event.status & 0x0F;
      if (channel == kMelodyChannel) ApplyVoice(event, voices.melody);
      if (channel == kChordChannel) ApplyVoice(event, voices.chords);
    });
  }
}

}  // namespace pixorale
