#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "midi/large_block_allocator.h"
#include "midi/midi_event.h"

namespace pixorale {

// The events of a track in the order they were appended, eight bytes each: a conversion of
// ten million columns holds tens of millions of events, and a whole MidiEvent per event
// would take most of the memory. A channel event is kept as its delta, status and two data
// bytes; any other event (meta, system exclusive, or one with bytes a channel message does
// not have) is kept whole in a side list that its slot points into. Reading gives back
// exactly the event appended.
class EventList {
 public:
  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = MidiEvent;
    using difference_type = std::ptrdiff_t;
    using reference = const MidiEvent;

    const_iterator() = default;
    const_iterator(const EventList* list, size_t index) : list_(list), index_(index) {}
    const MidiEvent operator*() const { return (*list_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const EventList* list_ = nullptr;
    size_t index_ = 0;
  };

  // Inline, so that building an event and packing it fold into the four stores of a slot.
  void push_back(const MidiEvent& event) {
    if (FitsSlot(event)) {
      slots_.push_back(SlotOf(event));
    } else {
      PushWhole(event);
    }
  }
  void reserve(size_t count) { slots_.reserve(count); }
  // Removes every event, payloads included; the slots' memory is kept for reuse.
  void clear() {
    slots_.clear();
    whole_.clear();
  }

  size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  // Events come back by value (a const copy, so that a change to it cannot be mistaken
  // for a change to the list); EditEach changes them in place.
  const MidiEvent operator[](size_t index) const {
    const Slot& slot = slots_[index];
    if (slot.lengthCode == kWhole) return whole_[slot.delta];
    MidiEvent event;
    event.status = slot.status;
    event.delta.value = slot.delta;
    event.delta.lengthCode = slot.lengthCode;
    event.data1 = slot.data1;
    event.data2[0] = slot.data2;
    return event;
  }
  const MidiEvent at(size_t index) const;
  const MidiEvent front() const { return (*this)[0]; }
  const MidiEvent back() const { return (*this)[size() - 1]; }
  // The bytes the events take in a track chunk, as MidiEvent::EncodedSize counts them.
  uint32_t EncodedSize() const;

  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  // Calls edit(MidiEvent&) on each event in turn and keeps what it leaves.
  template <typename Edit>
  void EditEach(Edit edit) {
    for (size_t i = 0; i < slots_.size(); ++i) {
      MidiEvent event = (*this)[i];
      edit(event);
      if (slots_[i].lengthCode != kWhole && FitsSlot(event)) {
        slots_[i] = SlotOf(event);
      } else {
        Replace(i, event);
      }
    }
  }

 private:
  static constexpr uint8_t kWhole = 0xFF;  // lengthCode of a slot whose delta is an index

  struct Slot {
    uint32_t delta = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint8_t lengthCode = 0;
  };
  static_assert(sizeof(Slot) == 8);

  // Whether the slot's four fields say everything the event holds.
  static bool FitsSlot(const MidiEvent& event) {
    return event.status < midi_status::kSystemExclusive && event.delta.lengthCode < 4 &&
           event.data2[1] == 0 && event.data2[2] == 0 && event.metaLength.value == 0 &&
           event.metaLength.lengthCode == 0 && event.metaData.empty() &&
           event.timeSignature == decltype(event.timeSignature){} &&
           event.smpteOffset == decltype(event.smpteOffset){};
  }
  static Slot SlotOf(const MidiEvent& event) {
    return {event.delta.value, event.status, event.data1, event.data2[0], event.delta.lengthCode};
  }
  void PushWhole(const MidiEvent& event);
  void Replace(size_t index, const MidiEvent& event);

  std::vector<Slot, LargeBlockAllocator<Slot>> slots_;
  std::vector<MidiEvent> whole_;
};

}  // namespace pixorale
