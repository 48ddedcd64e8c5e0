#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pixorale::converter {

// True when the name is a MIDI file's (".mid" or ".midi", in any case): given as an input,
// it is most likely the output the user meant to name with -o.
bool NamesMidiFile(const std::string& path);

// The line for a MIDI file's name given as an input: "not a picture; -o names the output
// (-o song.mid)".
std::string MidiFileAsInput(const std::string& path);

// Why the converter does not take a file that is neither a BMP nor a PNG or JPEG, from its
// first bytes and its size: "unsupported picture (GIF); pixorale-convert reads BMP, PNG and
// JPEG", "(empty file)", "(not a picture)".
std::string UnsupportedPicture(std::span<const uint8_t> firstBytes, uint64_t fileSize);

}  // namespace pixorale::converter
