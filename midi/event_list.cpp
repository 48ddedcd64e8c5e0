#include "midi/event_list.h"

#include <stdexcept>

namespace pixorale {

void EventList::PushWhole(const MidiEvent& event) {
  whole_.push_back(event);
  slots_.push_back({static_cast<uint32_t>(whole_.size() - 1), 0, 0, 0, kWhole});
}

const MidiEvent EventList::at(size_t index) const {
  if (index >= size()) throw std::out_of_range("EventList::at");
  return (*this)[index];
}

uint32_t EventList::EncodedSize() const {
  uint32_t size = 0;
  for (const Slot& slot : slots_) {
    if (slot.lengthCode == kWhole) {
      size += whole_[slot.delta].EncodedSize();
    } else {
      size += slot.lengthCode + 2u + ChannelDataBytes(slot.status);  // delta, status, data
    }
  }
  return size;
}

void EventList::Replace(size_t index, const MidiEvent& event) {
  Slot& slot = slots_[index];
  if (!FitsSlot(event)) {
    if (slot.lengthCode == kWhole) {
      whole_[slot.delta] = event;
    } else {
      whole_.push_back(event);
      slot = {static_cast<uint32_t>(whole_.size() - 1), 0, 0, 0, kWhole};
    }
    return;
  }
  // A whole event replaced by a slot leaves its copy unused.
  slot = SlotOf(event);
}

}  // namespace pixorale
