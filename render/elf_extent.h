#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pixorale {

// The size a shared library file of this machine's kind must have for every part its headers
// describe (the program headers and the segments they map, the section table and the
// sections) to lie within it; none when the file cannot be read or is no such library, which
// the loader then refuses itself. A library cut short is mapped all the same, and touching a page
// past its end kills the program (SIGBUS): its size is checked against this first.
std::optional<uint64_t> ElfExtent(const std::string& file);

}  // namespace pixorale
