#include "midi/event_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "midi_test_events.h"

namespace pixorale {
namespace {

using test::ChannelEvent;
using test::EndOfTrackEvent;
using test::MetaEventWithData;
using test::SystemEvent;
using test::TempoEvent;

// Every field, so that a byte lost on the way in or out shows.
void ExpectSameEvent(const MidiEvent& actual, const MidiEvent& expected) {
  EXPECT_EQ(actual.status, expected.status);
  EXPECT_EQ(actual.delta.value, expected.delta.value);
  EXPECT_EQ(actual.delta.lengthCode, expected.delta.lengthCode);
  EXPECT_EQ(actual.data1, expected.data1);
  EXPECT_EQ(actual.data2, expected.data2);
  EXPECT_EQ(actual.metaLength.value, expected.metaLength.value);
  EXPECT_EQ(actual.metaLength.lengthCode, expected.metaLength.lengthCode);
  EXPECT_EQ(actual.metaData, expected.metaData);
  EXPECT_EQ(actual.timeSignature, expected.timeSignature);
  EXPECT_EQ(actual.smpteOffset, expected.smpteOffset);
}

MidiEvent WithSecondDataByte(MidiEvent event) {
  event.data2[1] = 7;
  return event;
}

MidiEvent WithTimeSignature(MidiEvent event) {
  event.timeSignature = {4, 2, 24, 8};
  return event;
}

MidiEvent WithSmpteOffset(MidiEvent event) {
  event.smpteOffset = {1, 2, 3, 4, 5};
  return event;
}

MidiEvent WithUnassignedDelta(MidiEvent event) {
  event.delta.value = 0xFFFFFFFF;  // set without Assign: kept as it is
  return event;
}

// Slot-sized events and whole ones mixed, in one list, each read back as appended.
const std::vector<MidiEvent> kMixedEvents = {
    TempoEvent(0, 0x07, 0xA1, 0x20),
    ChannelEvent(0, 0xC0, 5),
    ChannelEvent(0x0FFFFFFF, 0x90, 60, 100),
    MetaEventWithData(3, 0x01, {'a', 'b'}),
    WithSecondDataByte(ChannelEvent(1, 0xE0, 0, 64)),
    SystemEvent(2, 0xF0, {0x7E, 0xF7}),
    ChannelEvent(200, 0x81, 60),
    WithTimeSignature(ChannelEvent(0, 0xB0, 7, 1)),
    WithSmpteOffset(ChannelEvent(0, 0x35, 1, 2)),
    WithUnassignedDelta(ChannelEvent(0, 0xA0, 1, 2)),
    EndOfTrackEvent(9),
};

TEST(EventList, GivesBackEveryEventExactlyAsAppended) {
  EventList list;
  for (const MidiEvent& event : kMixedEvents) list.push_back(event);
  ASSERT_EQ(list.size(), kMixedEvents.size());
  size_t index = 0;
  for (const MidiEvent& event : list) {
    SCOPED_TRACE(index);
    ExpectSameEvent(event, kMixedEvents[index]);
    ExpectSameEvent(list[index], kMixedEvents[index]);
    ++index;
  }
  EXPECT_EQ(index, kMixedEvents.size());
  EXPECT_THROW(list.at(kMixedEvents.size()), std::out_of_range);
}

TEST(EventList, EditEachKeepsEditsThatChangeHowAnEventIsKept) {
  EventList list;
  for (const MidiEvent& event : kMixedEvents) list.push_back(event);
  // Every event becomes its neighbour: slot-sized ones turn whole and the other way round.
  size_t index = 0;
  list.EditEach([&](MidiEvent& event) {
    event = kMixedEvents[(index + 1) % kMixedEvents.size()];
    ++index;
  });
  for (size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameEvent(list[i], kMixedEvents[(i + 1) % kMixedEvents.size()]);
  }
}

TEST(EventList, ClearEmptiesBothKindsOfEvent) {
  EventList list;
  for (const MidiEvent& event : kMixedEvents) list.push_back(event);
  list.clear();
  EXPECT_TRUE(list.empty());
  list.push_back(EndOfTrackEvent());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list.front().IsEndOfTrack());
  EXPECT_TRUE(list.back().IsEndOfTrack());
}

}  // namespace
}  // namespace pixorale
