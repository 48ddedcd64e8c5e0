#include "midi/smf_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "io/atomic_file.h"

namespace pixorale {

namespace {

constexpr std::array<uint8_t, 4> kHeaderChunkId = {'M', 'T', 'h', 'd'};
constexpr std::array<uint8_t, 4> kTrackChunkId = {'M', 'T', 'r', 'k'};
constexpr uint32_t kHeaderDataLength = 6;
// Millisecond timing, one tick per millisecond, spelled as the format spells frame timing:
// 25 frames per second (the high byte holds -25) of 40 ticks each.
constexpr uint16_t kMillisecondDivisionWord = 0xE728;

// The encoders write through a cursor and return it advanced. Keeping the position in a
// local lets the compiler hold it in a register: byte stores may alias any member.
uint8_t* PutBigEndian16(uint8_t* at, uint16_t number) {
  *at++ = static_cast<uint8_t>(number >> 8);
  *at++ = static_cast<uint8_t>(number);
  return at;
}

uint8_t* PutBigEndian32(uint8_t* at, uint32_t number) {
  at = PutBigEndian16(at, static_cast<uint16_t>(number >> 16));
  return PutBigEndian16(at, static_cast<uint16_t>(number));
}

// Stores all four bytes of the encoded form and advances past the ones that count, which
// saves a loop per event; callers leave room for four.
uint8_t* PutVarLen(uint8_t* at, const VarLen& quantity) {
  VarLen encoded = quantity;
  if (encoded.lengthCode != 0) encoded.Encode();  // a one-byte value is its own encoding
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(encoded.value >> (8 * i));
  return at + encoded.EncodedLength();
}

constexpr size_t kChunkHeaderSize = 8;
// Delta, status, meta type and length: 4 + 1 + 1 + 4, each variable-length slot at full size.
constexpr size_t kLargestEventHead = 10;
// Big enough that a track costs few stream calls, small enough for the stack.
constexpr size_t kTrackBlockSize = 16 * 1024;

// Gathers encoded bytes and hands them to the stream in blocks: the per-call cost of a
// stream write dominates when millions of events of a few bytes each are written.
template <size_t kCapacity>
class BlockWriter {
 public:
  explicit BlockWriter(std::ostream& out) : out_(out) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;
  ~BlockWriter() { Flush(); }

  // Room for at least `count` bytes; pass the end of what was put there to Commit.
  uint8_t* Claim(size_t count) {
    static_assert(kCapacity >= kChunkHeaderSize && kCapacity >= kLargestEventHead);
    if (kCapacity - used_ < count) Flush();
    return block_.data() + used_;
  }
  void Commit(const uint8_t* end) { used_ = static_cast<size_t>(end - block_.data()); }

  // Any amount: what does not fit in the block goes to the stream directly.
  void PutAll(std::span<const uint8_t> bytes) {
    if (kCapacity - used_ < bytes.size()) {
      Flush();
      if (kCapacity < bytes.size()) {
        out_.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return;
      }
    }
    std::copy(bytes.begin(), bytes.end(), block_.begin() + used_);
    used_ += bytes.size();
  }
  void PutZeros(size_t count) {
    static constexpr std::array<uint8_t, 256> kZeros{};
    while (count > 0) {
      const size_t chunk = std::min(count, kZeros.size());
      PutAll(std::span(kZeros).first(chunk));
      count -= chunk;
    }
  }
  void Flush() {
    if (used_ == 0) return;
    out_.write(reinterpret_cast<const char*>(block_.data()), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  std::ostream& out_;
  std::array<uint8_t, kCapacity> block_;
  size_t used_ = 0;
};

template <size_t kCapacity>
void PutChunkHeader(BlockWriter<kCapacity>& writer, const std::array<uint8_t, 4>& id,
                    uint32_t length) {
  uint8_t* at = writer.Claim(kChunkHeaderSize);
  at = std::copy(id.begin(), id.end(), at);
  writer.Commit(PutBigEndian32(at, length));
}

// Where the payload of a meta or system event lives, by its status and meta type.
std::span<const uint8_t> PayloadSource(const MidiEvent& event) {
  if (event.status != midi_status::kMeta) return event.metaData;  // 0xF0-0xFE
  const std::span<const uint8_t> data2 = event.data2;
  switch (event.data1) {
    case meta_type::kSequenceNumber:
    case meta_type::kKeySignature:
      return data2.first(2);
    case meta_type::kChannelPrefix:
    case meta_type::kPort:
      return data2.first(1);
    case meta_type::kTempo:
      return data2;
    case meta_type::kSmpteOffset:
      return event.smpteOffset;
    case meta_type::kTimeSignature:
      return event.timeSignature;
    case meta_type::kSequencerSpecific:
      return event.metaData;
    default:
      if (event.data1 >= 0x01 && event.data1 <= 0x1F) return event.metaData;  // text kinds
      return {};  // End of Track and types without a payload
  }
}

// Everything before the payload: delta and status, then the data bytes of a channel
// message or the type and length of a meta or system event.
uint8_t* PutEventHead(uint8_t* at, const MidiEvent& event) {
  at = PutVarLen(at, event.delta);
  *at++ = event.status;
  const uint8_t kind = event.status >> 4;
  if (kind < 0xF) {
    *at++ = event.data1;
    if (kind != 0xC && kind != 0xD) *at++ = event.data2[0];
    return at;
  }
  if (event.status == midi_status::kMeta) *at++ = event.data1;
  return PutVarLen(at, event.metaLength);
}

// Returns false right after an End of Track, like WriteEvent.
template <size_t kCapacity>
bool PutEvent(const MidiEvent& event, BlockWriter<kCapacity>& writer) {
  writer.Commit(PutEventHead(writer.Claim(kLargestEventHead), event));
  if (event.status < midi_status::kSystemExclusive) return true;

  // The chunk length counts metaLength payload bytes, so exactly that many are written
  // whatever the payload's source holds: a longer source is cut, a shorter one padded with
  // zeros. Reading past the source or leaving the chunk length wrong would corrupt the file.
  const uint32_t payloadLength = event.metaLength.value;
  const std::span<const uint8_t> source = PayloadSource(event);
  const size_t taken = std::min<size_t>(source.size(), payloadLength);
  writer.PutAll(source.first(taken));
  writer.PutZeros(payloadLength - taken);
  return !event.IsEndOfTrack();
}

}  // namespace

bool WriteEvent(const MidiEvent& event, std::ostream& out) {
  BlockWriter<kLargestEventHead> writer(out);
  return PutEvent(event, writer);
}

bool WriteTrack(Track& track, std::ostream& out) {
  track.ComputeLength();
  {
    BlockWriter<kTrackBlockSize> writer(out);
    PutChunkHeader(writer, kTrackChunkId, track.byteLength);
    // Events after an End of Track are still written: the chunk length counts them.
    for (const MidiEvent& event : track.events) PutEvent(event, writer);
  }
  return static_cast<bool>(out);
}

bool WriteSong(Song& song, std::ostream& out) {
  if (song.trackCount > song.tracks.size()) return false;

  // In beat timing the word holds the ticks per quarter note in its low 15 bits. In
  // millisecond timing (the timing mode's lowest bit) every tick is a millisecond, whatever
  // the division the events were spaced by.
  const uint16_t divisionWord = (song.timingMode & 1) != 0
                                    ? kMillisecondDivisionWord
                                    : static_cast<uint16_t>(song.division & kMaxDivision);
  {
    BlockWriter<kChunkHeaderSize + kHeaderDataLength> writer(out);
    PutChunkHeader(writer, kHeaderChunkId, kHeaderDataLength);
    uint8_t* at = writer.Claim(kHeaderDataLength);
    at = PutBigEndian16(at, song.format);
    at = PutBigEndian16(at, song.trackCount);
    writer.Commit(PutBigEndian16(at, divisionWord));
  }

  for (size_t i = 0; i < song.trackCount; ++i) WriteTrack(song.tracks[i], out);
  return static_cast<bool>(out);
}

IoResult WriteSongFile(Song& song, const std::string& path, const WriteOptions& options) {
  return WriteFileAtomically(
      path, [&song](std::ostream& out) { return WriteSong(song, out); }, options);
}

}  // namespace pixorale
