#include "midi/midi_event.h"

#include <gtest/gtest.h>

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

struct SizeCase {
  std::string name;
  MidiEvent event;
  uint32_t size;
};

TEST(MidiEvent, EncodedSizeFollowsTheStatusClass) {
  const std::vector<SizeCase> cases = {
      {"note on, delta 0", ChannelEvent(0, 0x90, 60, 100), 4},
      {"note off, delta 0", ChannelEvent(0, 0x81, 60, 0), 4},
      {"note on, delta 200", ChannelEvent(200, 0x90, 60, 100), 5},
      {"key pressure", ChannelEvent(0, 0xA0, 60, 10), 4},
      {"control change", ChannelEvent(0, 0xBF, 7, 127), 4},
      {"program change", ChannelEvent(0, 0xC0, 0), 3},
      {"program change, last channel", ChannelEvent(0, 0xCF, 99), 3},
      {"channel pressure", ChannelEvent(0, 0xD0, 64), 3},
      {"channel pressure, last channel", ChannelEvent(0, 0xDF, 64), 3},
      {"pitch bend", ChannelEvent(0, 0xE0, 0, 64), 4},
      {"status below 0x80", ChannelEvent(0, 0x3C, 1, 2), 4},
      {"tempo", TempoEvent(0, 0x07, 0xA1, 0x20), 7},
      {"end of track", EndOfTrackEvent(), 4},
      {"end of track, delta 0x200000", EndOfTrackEvent(0x200000), 7},
      {"text", MetaEventWithData(0, 0x03, {'h', 'e', 'l', 'l', 'o'}), 9},
      {"sysex, five bytes", SystemEvent(0, 0xF0, {1, 2, 3, 4, 0xF7}), 8},
      {"escape, 200 bytes", SystemEvent(480, 0xF7, std::vector<uint8_t>(200)), 205},
      {"meta with a 200-byte payload", MetaEventWithData(0, 0x7F, std::vector<uint8_t>(200)), 205},
  };
  for (const SizeCase& c : cases) {
    EXPECT_EQ(c.event.EncodedSize(), c.size) << c.name;
  }
}

TEST(MidiEvent, MetaSizeCountsMetaLengthWhateverTheType) {
  // A type without a payload of its own still counts what metaLength announces.
  EXPECT_EQ(MetaEvent(0, 0x4B, 0).EncodedSize(), 4u);
  EXPECT_EQ(MetaEvent(0, 0x4B, 2).EncodedSize(), 6u);
}

}  // namespace
}  // namespace pixorale
