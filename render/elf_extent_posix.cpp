#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "io/file_descriptor.h"
#include "render/elf_extent.h"

namespace pixorale {
namespace {

// Reads exactly `size` bytes at `offset`; false when the file holds fewer.
bool ReadAt(int fd, void* data, size_t size, uint64_t offset) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = ::pread(fd, bytes, size, static_cast<off_t>(offset));
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
    offset += static_cast<uint64_t>(got);
  }
  return true;
}

// Where `size` bytes from `offset` end; a damaged header may give numbers whose sum does not
// fit, which ends past any file.
uint64_t EndOf(uint64_t offset, uint64_t size) {
  return size > UINT64_MAX - offset ? UINT64_MAX : offset + size;
}

template <typename Entry>
std::vector<Entry> ReadTable(int fd, uint64_t offset, size_t count) {
  std::vector<Entry> entries(count);
  if (!ReadAt(fd, entries.data(), count * sizeof(Entry), offset)) entries.clear();
  return entries;
}

}  // namespace

std::optional<uint64_t> ElfExtent(const std::string& file) {
  const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  ElfW(Ehdr) header{};
  if (!ReadAt(fd.get(), &header, sizeof header, 0) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
      header.e_phentsize != sizeof(ElfW(Phdr))) {
    // Not a library of this machine's kind: the loader says so without mapping anything.
    return std::nullopt;
  }
  uint64_t extent = sizeof header;
  extent = std::max(extent, EndOf(header.e_phoff, uint64_t{header.e_phnum} * header.e_phentsize));
  extent = std::max(extent, EndOf(header.e_shoff, uint64_t{header.e_shnum} * header.e_shentsize));
  // A table that is itself cut short cannot be read; its end is already past the file's.
  for (const ElfW(Phdr) & segment :
       ReadTable<ElfW(Phdr)>(fd.get(), header.e_phoff, header.e_phnum)) {
    extent = std::max(extent, EndOf(segment.p_offset, segment.p_filesz));
  }
  // Sections are not mapped: a table of entries of another size is left at its own extent.
  const size_t sections = header.e_shentsize == sizeof(ElfW(Shdr)) ? header.e_shnum : 0;
  for (const ElfW(Shdr) & section : ReadTable<ElfW(Shdr)>(fd.get(), header.e_shoff, sections)) {
    if (section.sh_type != SHT_NOBITS) {
      extent = std::max(extent, EndOf(section.sh_offset, section.sh_size));
    }
  }
  return extent;
}

}  // namespace pixorale
