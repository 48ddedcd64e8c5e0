#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/melody.h"
#include "convert/scale_table.h"

namespace pixorale::converter {

enum class SnapMode { kRandom, kUp, kDown };
enum class ReportFormat { kNone, kInfo, kJson };

// Settings given as options; each one present replaces the loaded value.
struct SettingOverrides {
  std::optional<uint8_t> scaleIndex;
  std::optional<uint32_t> sustain;
  std::optional<uint32_t> tempo;
  std::optional<uint8_t> timingMode;
  std::optional<uint16_t> resolution;
  std::optional<uint8_t> chordMode;
  std::optional<std::pair<uint8_t, uint8_t>> range;  // low, high
  bool rangeGivenEmpty = false;  // --range HIGH:LOW with HIGH not above LOW: no range
};

// What is made beside the MIDI file, and the instrument and loudness of each part.
struct HearAndSeeOptions {
  std::optional<std::string> wav;
  std::optional<std::string> soundFont;
  std::optional<double> gainDb;  // none: the WAV is normalised
  std::optional<std::string> pianoRoll;
  std::optional<uint8_t> program;
  std::optional<uint8_t> velocity;
  std::optional<uint8_t> chordProgram;
  std::optional<uint8_t> chordVelocity;
};

// What makes a photo sound like music: length, key, scales beyond the nine, how reds become
// pitches, loudness from the picture.
struct MusicalOptions {
  std::optional<uint32_t> columns;
  std::optional<double> maxSeconds;
  std::optional<uint8_t> key;
  std::optional<ExtraScale> extraScale;  // from --scale NAME
  std::optional<PitchMap> map;
  bool dynamics = false;
  MusicalReading reading;
};

// Everything the options say, for the command line and the page alike.
struct ConverterOptions {
  std::vector<std::string> inputs;
  std::optional<std::string> output;  // "-" is standard output
  std::optional<std::string> outputDirectory;
  bool force = false;
  SettingOverrides overrides;
  std::optional<std::string> settingsFile;
  bool noSettings = false;  // the defaults, whatever setting.set holds
  bool saveSettings = false;
  SnapMode snap = SnapMode::kRandom;
  std::optional<uint64_t> seed;
  std::optional<unsigned> jobs;  // default: DefaultJobs()
  bool quiet = false;
  ReportFormat report = ReportFormat::kNone;
  HearAndSeeOptions hearAndSee;
  MusicalOptions musical;
  std::optional<uint32_t> maxColumns;  // default: kDefaultMaxColumns
  std::optional<uint64_t> maxArea;     // of a PNG, in pixels; default: kDefaultMaxPngPixels
};

}  // namespace pixorale::converter
