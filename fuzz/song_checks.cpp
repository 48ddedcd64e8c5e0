#include "song_checks.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

#include "invariant.h"
#include "midi/midi_event.h"

namespace pixorale::fuzz {
namespace {

constexpr uint8_t kMelodyChannel = 0;
constexpr uint8_t kChordChannel = 1;
constexpr uint8_t kHighestDataByte = 0x7F;

// The division the file can announce: resolutions above 15 bits convert at the limit.
uint16_t ExpectedDivision(const ConversionParameters& params) {
  return std::min(params.resolution, kMaxDivision);
}

struct TrackSummary {
  uint64_t endOfTrackTime = 0;
  std::optional<uint64_t> lastNoteOffTime;
  uint64_t noteOns = 0;
  std::optional<uint64_t> heldTicks;  // with equalNotes: the length of every note not restruck
};

// Checks the events every track shares: allowed kinds, channel, data bytes, deltas that a
// MIDI file can carry, notes balanced, End of Track last. With `equalNotes` every note of
// this track is held equally long, or up to a restrike of the same pitch.
TrackSummary CheckTrack(const Track& track, uint8_t channel, bool equalNotes) {
  std::array<std::optional<uint64_t>, 128> soundingSince{};
  TrackSummary summary;
  uint64_t now = 0;
  Require(!track.events.empty() && track.events.back().IsEndOfTrack(),
          "a track ends with End of Track");
  for (size_t i = 0; i < track.events.size(); ++i) {
    const MidiEvent& event = track.events[i];
    Require(event.delta.value <= VarLen::kMaxValue, "delta beyond 28 bits");
    Require(event.delta.EncodedLength() >= 1 && event.delta.EncodedLength() <= 4,
            "delta length code out of range");
    now += event.delta.value;
    if (event.status == midi_status::kMeta) {
      Require(event.data1 == meta_type::kTempo || event.IsEndOfTrack(), "unexpected meta type");
      Require(event.metaLength.value == (event.IsEndOfTrack() ? 0u : 3u),
              "meta length differs from its payload");
      Require(!event.IsEndOfTrack() || i + 1 == track.events.size(), "events after End of Track");
      continue;
    }
    const uint8_t kind = event.status & 0xF0;
    Require((event.status & 0x0F) == channel, "event on the wrong channel");
    Require(event.data1 <= kHighestDataByte && event.data2[0] <= kHighestDataByte,
            "data byte with the top bit set");
    if (kind == midi_status::kProgramChange) continue;
    Require(kind == midi_status::kNoteOn || kind == midi_status::kNoteOff, "unexpected status");
    std::optional<uint64_t>& since = soundingSince[event.data1];
    if (kind == midi_status::kNoteOn) {
      Require(event.data2[0] != 0, "note-on with velocity 0 reads as a note-off");
      Require(!since.has_value(), "note-on of a pitch already sounding");
      since = now;
      ++summary.noteOns;
      continue;
    }
    Require(since.has_value(), "note-off of a pitch not sounding");
    if (equalNotes) {
      // A pitch struck again while sounding ends right at the new note-on, even when its
      // sustain would have ended earlier; every other note lasts exactly the sustain.
      const bool restruck =
          i + 1 < track.events.size() && track.events[i + 1].status == event.status + 0x10 &&
          track.events[i + 1].data1 == event.data1 && track.events[i + 1].delta.value == 0;
      if (!restruck) {
        if (!summary.heldTicks) summary.heldTicks = now - *since;
        Require(now - *since == *summary.heldTicks, "notes not held equally long");
      }
    }
    since.reset();
    summary.lastNoteOffTime = now;
  }
  for (const auto& since : soundingSince) Require(!since.has_value(), "note never ended");
  summary.endOfTrackTime = now;
  return summary;
}

// A reader of the written bytes that shares no code with the writer.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  size_t Position() const { return position_; }
  uint8_t Byte() {
    Require(position_ < bytes_.size(), "written file ends early");
    return static_cast<uint8_t>(bytes_[position_++]);
  }
  uint32_t BigEndian(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | Byte();
    return value;
  }
  void Expect(std::string_view text, const char* what) {
    for (const char c : text) Require(Byte() == static_cast<uint8_t>(c), what);
  }
  // A variable-length quantity: at most four bytes, the last one without bit 7.
  uint32_t Quantity() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t byte = Byte();
      value = (value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return value;
    }
    Require(false, "variable-length quantity longer than four bytes");
    return 0;
  }

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

void CheckWrittenEvent(ByteReader& in, const MidiEvent& event) {
  Require(in.Quantity() == event.delta.value, "written delta differs");
  Require(in.Byte() == event.status, "written status differs");
  if (event.status < midi_status::kSystemExclusive) {
    Require(in.Byte() == event.data1, "written first data byte differs");
    const uint8_t kind = event.status & 0xF0;
    if (kind != 0xC0 && kind != 0xD0) {
      Require(in.Byte() == event.data2[0], "written second data byte differs");
    }
    return;
  }
  Require(event.status == midi_status::kMeta, "system event in a converted song");
  Require(in.Byte() == event.data1, "written meta type differs");
  const uint32_t length = in.Quantity();
  Require(length == event.metaLength.value, "written meta length differs");
  if (event.data1 == meta_type::kTempo) {
    for (const uint8_t byte : event.data2) Require(in.Byte() == byte, "written tempo differs");
  }
}

}  // namespace

void CheckConvertedSong(const Song& song, const ConversionParameters& params, uint32_t columns) {
  const bool chords = params.chordMode != 0;
  Require(song.format == 1, "format is not 1");
  Require(song.trackCount == (chords ? 2 : 1) && song.tracks.size() == song.trackCount,
          "wrong number of tracks");
  Require(song.division == ExpectedDivision(params), "division is not the resolution");
  Require(song.timingMode == params.timingMode, "timing mode not copied");

  const TrackSummary melody = CheckTrack(song.tracks[0], kMelodyChannel, true);
  Require(melody.noteOns == columns, "not one melody note per column");
  if (melody.heldTicks) {
    // The sustain as a whole number of ticks: its exact length with the fraction dropped,
    // unless that passes the longest sustain every delta can carry.
    const uint64_t held = *melody.heldTicks;
    const double exact = static_cast<double>(song.division) * params.sustainQuarters;
    Require(held <= kMaxSustainTicks, "sustain beyond the longest a delta can carry");
    Require(static_cast<double>(held) <= exact, "note held longer than the sustain");
    Require(held == kMaxSustainTicks || exact < static_cast<double>(held + 1),
            "note held a whole tick or more short of the sustain");
  }
  if (!chords) return;
  const TrackSummary chord = CheckTrack(song.tracks[1], kChordChannel, false);
  Require(chord.endOfTrackTime <= melody.endOfTrackTime, "chord track outlasts the melody");
  Require(!chord.lastNoteOffTime || *chord.lastNoteOffTime == melody.endOfTrackTime,
          "last chord does not end with the melody");
}

void CheckWrittenSong(const Song& song, std::string_view file) {
  ByteReader in(file);
  in.Expect("MThd", "header chunk id");
  Require(in.BigEndian(4) == 6, "header length is not 6");
  Require(in.BigEndian(2) == song.format, "written format differs");
  Require(in.BigEndian(2) == song.trackCount, "written track count differs");
  // Millisecond timing is 25 frames per second of 40 ticks; beat timing the division.
  const uint32_t divisionWord = (song.timingMode & 1u) != 0 ? 0xE728u : song.division & 0x7FFFu;
  Require(in.BigEndian(2) == divisionWord, "written division word differs");

  for (size_t t = 0; t < song.trackCount; ++t) {
    const Track& track = song.tracks[t];
    uint64_t encodedTotal = 0;
    for (const MidiEvent& event : track.events) encodedTotal += event.EncodedSize();
    in.Expect("MTrk", "track chunk id");
    const uint32_t length = in.BigEndian(4);
    Require(length == encodedTotal, "chunk length is not the sum of EncodedSize");
    Require(length == track.byteLength, "byteLength not updated by the writer");
    const size_t start = in.Position();
    for (const MidiEvent& event : track.events) CheckWrittenEvent(in, event);
    Require(in.Position() - start == length, "chunk length differs from the bytes written");
  }
  Require(in.Position() == file.size(), "bytes after the last track");
}

}  // namespace pixorale::fuzz
