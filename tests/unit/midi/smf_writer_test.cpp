#include "midi/smf_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "midi_test_events.h"

namespace pixorale {
namespace {

using test::ChannelEvent;
using test::EndOfTrackEvent;
using test::MetaEvent;
using test::MetaEventWithData;
using test::SystemEvent;
using test::TempoEvent;

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text) {
  return {text.begin(), text.end()};
}

Bytes Written(const MidiEvent& event) {
  std::ostringstream out;
  WriteEvent(event, out);
  return ToBytes(out.str());
}

Bytes Written(Song& song) {
  std::ostringstream out;
  EXPECT_TRUE(WriteSong(song, out));
  return ToBytes(out.str());
}

MidiEvent WithData2(MidiEvent event, uint8_t b0, uint8_t b1) {
  event.data2 = {b0, b1, 0};
  return event;
}

struct EventCase {
  std::string name;
  MidiEvent event;
  Bytes bytes;
};

std::vector<EventCase> EventCases() {
  MidiEvent smpte = MetaEvent(0, meta_type::kSmpteOffset, 5);
  smpte.smpteOffset = {0x60, 0x01, 0x02, 0x03, 0x04};
  MidiEvent timeSignature = MetaEvent(0, meta_type::kTimeSignature, 4);
  timeSignature.timeSignature = {0x04, 0x02, 0x18, 0x08};
  MidiEvent channelPrefix = MetaEvent(0, meta_type::kChannelPrefix, 1);
  channelPrefix.data2[0] = 0x05;
  MidiEvent port = MetaEvent(0, meta_type::kPort, 1);
  port.data2[0] = 0x02;

  return {
      {"note on", ChannelEvent(0, 0x90, 60, 100), {0x00, 0x90, 0x3C, 0x64}},
      {"program change, channel 2", ChannelEvent(0, 0xC1, 99), {0x00, 0xC1, 0x63}},
      {"note off after 480", ChannelEvent(480, 0x81, 60, 0), {0x83, 0x60, 0x81, 0x3C, 0x00}},
      {"channel pressure", ChannelEvent(0, 0xD0, 0x40, 0x11), {0x00, 0xD0, 0x40}},
      {"pitch bend", ChannelEvent(0, 0xE0, 0x00, 0x40), {0x00, 0xE0, 0x00, 0x40}},
      {"status below 0x80", ChannelEvent(0, 0x3C, 0x01, 0x02), {0x00, 0x3C, 0x01, 0x02}},
      {"tempo 500000", TempoEvent(0, 0x07, 0xA1, 0x20), {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
      {"end of track", EndOfTrackEvent(), {0x00, 0xFF, 0x2F, 0x00}},
      {"text",
       MetaEventWithData(0, 0x03, {'P', 'i', 'a', 'n', 'o'}),
       {0x00, 0xFF, 0x03, 0x05, 'P', 'i', 'a', 'n', 'o'}},
      {"unknown meta type", MetaEvent(0, 0x4B, 0), {0x00, 0xFF, 0x4B, 0x00}},
      {"sysex, nothing appended",
       SystemEvent(0, 0xF0, {0x7E, 0x7F, 0x09}),
       {0x00, 0xF0, 0x03, 0x7E, 0x7F, 0x09}},
      {"sequence number",
       WithData2(MetaEvent(0, meta_type::kSequenceNumber, 2), 0x00, 0x07),
       {0x00, 0xFF, 0x00, 0x02, 0x00, 0x07}},
      {"channel prefix", channelPrefix, {0x00, 0xFF, 0x20, 0x01, 0x05}},
      {"port", port, {0x00, 0xFF, 0x21, 0x01, 0x02}},
      {"SMPTE offset", smpte, {0x00, 0xFF, 0x54, 0x05, 0x60, 0x01, 0x02, 0x03, 0x04}},
      {"time signature", timeSignature, {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}},
      {"key signature",
       WithData2(MetaEvent(0, meta_type::kKeySignature, 2), 0xFD, 0x01),
       {0x00, 0xFF, 0x59, 0x02, 0xFD, 0x01}},
      {"sequencer specific",
       MetaEventWithData(0, meta_type::kSequencerSpecific, {0x41, 0x10}),
       {0x00, 0xFF, 0x7F, 0x02, 0x41, 0x10}},
      // Payloads that disagree with metaLength: exactly metaLength bytes are written.
      {"text shorter than its length is padded",
       [] {
         MidiEvent e = MetaEventWithData(0, 0x01, {'a', 'b'});
         e.metaLength.Assign(4);
         return e;
       }(),
       {0x00, 0xFF, 0x01, 0x04, 'a', 'b', 0x00, 0x00}},
      {"tempo with a short length is cut",
       [] {
         MidiEvent e = TempoEvent(0, 0x07, 0xA1, 0x20);
         e.metaLength.Assign(2);
         return e;
       }(),
       {0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}},
      {"unknown type with a length gets zeros",
       MetaEvent(0, 0x4B, 2),
       {0x00, 0xFF, 0x4B, 0x02, 0x00, 0x00}},
      {"sysex with a shorter buffer is padded",
       [] {
         MidiEvent e = SystemEvent(0, 0xF0, {0x01});
         e.metaLength.Assign(3);
         return e;
       }(),
       {0x00, 0xF0, 0x03, 0x01, 0x00, 0x00}},
  };
}

TEST(WriteEvent, WritesEachKindOfEventByteForByte) {
  for (const EventCase& c : EventCases()) {
    EXPECT_EQ(Written(c.event), c.bytes) << c.name;
  }
}

TEST(WriteEvent, WritesAsManyBytesAsEncodedSizeCounts) {
  for (const EventCase& c : EventCases()) {
    EXPECT_EQ(Written(c.event).size(), c.event.EncodedSize()) << c.name;
  }
}

TEST(WriteEvent, ReturnsFalseOnlyAfterEndOfTrack) {
  for (const EventCase& c : EventCases()) {
    std::ostringstream out;
    EXPECT_EQ(WriteEvent(c.event, out), !c.event.IsEndOfTrack()) << c.name;
  }
  std::ostringstream out;
  EXPECT_FALSE(WriteEvent(EndOfTrackEvent(0x200000), out));
  EXPECT_EQ(ToBytes(out.str()), (Bytes{0x81, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0x00}));
}

TEST(WriteEvent, WritesAPayloadLargerThanAnEventHeader) {
  Bytes payload(300);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i);
  const MidiEvent event = SystemEvent(0, 0xF7, payload);
  const Bytes written = Written(event);
  ASSERT_EQ(written.size(), 304u);
  EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), (Bytes{0x00, 0xF7, 0x82, 0x2C}));
  EXPECT_EQ(Bytes(written.begin() + 4, written.end()), payload);
}

Song WorkedExampleSong() {
  Song song;
  song.format = 1;
  song.trackCount = 1;
  song.division = 480;
  song.timingMode = 0;
  Track track;
  track.AppendEvent(TempoEvent(0, 0x07, 0xA1, 0x20));
  track.AppendEvent(ChannelEvent(0, 0xC0, 0));
  track.AppendEvent(ChannelEvent(0, 0x90, 60, 100));
  track.AppendEvent(ChannelEvent(480, 0x80, 60, 0));
  track.AppendEvent(EndOfTrackEvent());
  song.AppendTrack(track);
  return song;
}

const Bytes kWorkedExampleFile = {
    0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06,  // "MThd", 6
    0x00, 0x01, 0x00, 0x01, 0x01, 0xE0,              // format 1, one track, 480
    0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x17,  // "MTrk", 23
    0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // tempo
    0x00, 0xC0, 0x00,                                // program change
    0x00, 0x90, 0x3C, 0x64,                          // note on
    0x83, 0x60, 0x80, 0x3C, 0x00,                    // note off after 480 ticks
    0x00, 0xFF, 0x2F, 0x00,                          // End of Track
};

TEST(WriteSong, WritesTheOneTrackExampleByteForByte) {
  Song song = WorkedExampleSong();
  EXPECT_EQ(Written(song), kWorkedExampleFile);
}

TEST(WriteSong, NoTracksGivesTheHeaderChunkAlone) {
  Song song;
  song.format = 1;
  song.division = 480;
  song.AppendTrack(Track{});  // present but not announced, so not written
  EXPECT_EQ(Written(song),
            (Bytes{0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0x00, 0x01, 0x00, 0x00, 0x01, 0xE0}));
}

TEST(WriteSong, RefusesToAnnounceMoreTracksThanItHolds) {
  Song song = WorkedExampleSong();
  song.trackCount = 2;
  std::ostringstream out;
  EXPECT_FALSE(WriteSong(song, out));
  EXPECT_TRUE(out.str().empty());
}

TEST(WriteSong, ReportsAFailedStream) {
  Song song = WorkedExampleSong();
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_FALSE(WriteSong(song, out));
}

// Millisecond timing (the lowest timing-mode bit) is one tick per millisecond: 25 frames per
// second of 40 ticks, whatever the division. Beat timing keeps 15 bits of the division.
TEST(WriteSong, DivisionWordIsMillisecondTicksOrFifteenDivisionBits) {
  struct Case {
    uint8_t timingMode;
    uint16_t division;
    uint8_t high;
    uint8_t low;
  };
  const Case cases[] = {
      {0, 768, 0x03, 0x00},    {1, 768, 0xE7, 0x28},       {2, 768, 0x03, 0x00},
      {3, 768, 0xE7, 0x28},    {0, 0x81E0, 0x01, 0xE0},    {1, 0xFFFF, 0xE7, 0x28},
      {0, 0xFFFF, 0x7F, 0xFF}, {0xFE, 0x8000, 0x00, 0x00}, {1, 1, 0xE7, 0x28},
  };
  for (const Case& c : cases) {
    Song song;
    song.timingMode = c.timingMode;
    song.division = c.division;
    const Bytes written = Written(song);
    ASSERT_EQ(written.size(), 14u);
    EXPECT_EQ(written[12], c.high) << int{c.timingMode} << " " << c.division;
    EXPECT_EQ(written[13], c.low) << int{c.timingMode} << " " << c.division;
  }
}

TEST(WriteTrack, EmptyTrackIsAChunkOfLengthZero) {
  Track track;
  std::ostringstream out;
  EXPECT_TRUE(WriteTrack(track, out));
  EXPECT_EQ(ToBytes(out.str()), (Bytes{0x4D, 0x54, 0x72, 0x6B, 0, 0, 0, 0}));
}

TEST(WriteTrack, RecomputesAStaleLengthAndKeepsIt) {
  Track track;
  track.AppendEvent(ChannelEvent(0, 0x90, 60, 100));
  track.byteLength = 1000;
  std::ostringstream out;
  WriteTrack(track, out);
  EXPECT_EQ(ToBytes(out.str()),
            (Bytes{0x4D, 0x54, 0x72, 0x6B, 0, 0, 0, 4, 0x00, 0x90, 0x3C, 0x64}));
  EXPECT_EQ(track.byteLength, 4u);
}

TEST(WriteTrack, EventsAfterEndOfTrackAreWrittenAndCounted) {
  Track track;
  track.AppendEvent(EndOfTrackEvent());
  track.AppendEvent(ChannelEvent(0, 0xC0, 5));
  std::ostringstream out;
  WriteTrack(track, out);
  EXPECT_EQ(ToBytes(out.str()),
            (Bytes{0x4D, 0x54, 0x72, 0x6B, 0, 0, 0, 7, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0xC0, 0x05}));
}

TEST(WriteTrack, LengthIsBigEndianOverAllFourBytes) {
  Track track;
  track.AppendEvent(SystemEvent(0, 0xF0, Bytes(0x10000)));
  std::ostringstream out;
  WriteTrack(track, out);
  const Bytes written = ToBytes(out.str());
  // 1 delta + 1 status + 3 length + 0x10000 payload = 0x010005
  EXPECT_EQ(Bytes(written.begin() + 4, written.begin() + 8), (Bytes{0x00, 0x01, 0x00, 0x05}));
  EXPECT_EQ(written.size(), 8u + 0x10005u);
}

}  // namespace
}  // namespace pixorale
