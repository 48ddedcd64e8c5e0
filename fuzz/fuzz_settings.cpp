// Loads arbitrary bytes as a stored settings record, from memory and through the file
// reader, and checks that the record takes exactly the bytes the file supplies.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/conversion_settings.h"
#include "invariant.h"
#include "memory_file.h"

namespace pixorale::fuzz {
namespace {

using StoredForm = std::array<uint8_t, kSettingsFileSize>;

// Byte i of the stored form after loading `input` over `before`: the input's where it
// reaches, the previous record's beyond. Bytes after the 15th are ignored.
StoredForm Merged(const StoredForm& before, std::span<const uint8_t> input) {
  StoredForm expected = before;
  std::copy_n(input.begin(), std::min(input.size(), expected.size()), expected.begin());
  return expected;
}

ConversionSettings Loaded(const StoredForm& before, std::span<const uint8_t> input) {
  ConversionSettings settings;
  settings.FromBytes(before);
  Require(settings.ToBytes() == before, "a full record does not round trip");
  settings.FromBytes(input);
  return settings;
}

void CheckParameters(const ConversionSettings& settings) {
  const ConversionParameters params = settings.ToParameters();
  Require(params.scaleIndex == settings.scaleIndex && params.timingMode == settings.timingMode &&
              params.resolution == settings.resolution && params.tempo == settings.tempo &&
              params.chordMode == settings.chordMode && params.rangeLow == settings.rangeLow &&
              params.rangeHigh == settings.rangeHigh,
          "parameters differ from the settings");
  Require(params.sustainQuarters == static_cast<double>(settings.sustain) / 8.0,
          "sustain not passed in quarter notes");
}

}  // namespace
}  // namespace pixorale::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pixorale;
  using namespace pixorale::fuzz;
  static MemoryFile file;
  const std::span<const uint8_t> input(data, size);

  // Over an all-zero record, as at program start, and over one holding other values.
  const StoredForm zero{};
  StoredForm pattern{};
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(0xA5 ^ (17 * i));
  for (const StoredForm& before : {zero, pattern}) {
    const ConversionSettings loaded = Loaded(before, input);
    Require(loaded.ToBytes() == Merged(before, input), "record differs from the bytes supplied");
    CheckParameters(loaded);

    // The file reader takes the same bytes; only a tempo of 0 becomes the default.
    file.Replace(data, size);
    ConversionSettings read;
    read.FromBytes(before);
    Require(read.ReadSettingsFile(file.Path()).ok(), "a readable settings file was not read");
    ConversionSettings expected = loaded;
    expected.tempo = TempoOrDefault(expected.tempo);
    Require(read.ToBytes() == expected.ToBytes(), "file reader differs from the decoder");
  }
  return 0;
}
