#include "app/converter/given_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pixorale::converter {
namespace {

Result<ConverterOptions> FromWords(const std::vector<std::string>& words) {
  const Result<std::vector<GivenOption>> given = ReadOptionWords(words);
  if (!given) return given.failure();
  return OptionsFrom({"in.bmp"}, *given);
}

// The musical controls, the range, the chords and the voices, which presets and their rivals
// decide between.
struct Shape {
  std::optional<PitchMap> map;
  std::optional<double> maxSeconds;
  std::optional<uint32_t> columns;
  std::optional<std::pair<uint8_t, uint8_t>> range;
  std::optional<uint8_t> key;
  MusicalReading reading;
  std::optional<uint8_t> chordMode;
  std::optional<uint8_t> program;
  std::optional<uint8_t> chordProgram;
  std::optional<uint8_t> chordVelocity;
  bool operator==(const Shape&) const = default;
};

Shape ShapeOf(const ConverterOptions& options) {
  const HearAndSeeOptions& hear = options.hearAndSee;
  return {options.musical.map,         options.musical.maxSeconds,
          options.musical.columns,     options.overrides.range,
          options.musical.key,         options.musical.reading,
          options.overrides.chordMode, hear.program,
          hear.chordProgram,           hear.chordVelocity};
}

TEST(OptionsFrom, APresetIsItsOptionsAndWhatIsGivenBesideItTakesPrecedence) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> spelledOut;
  };
  // The musical preset spelled out: the whole reading, chords, the flute and a warm pad.
  const std::vector<std::string> musical = {
      "--contour",        "skyline",  "--metre",         "--melodic",
      "--harmony",        "--chords", "--map",           "60:84",
      "--program",        "73",       "--chord-program", "89",
      "--chord-velocity", "64"};
  const auto with = [&](std::vector<std::string> more, const std::vector<std::string>& less) {
    std::vector<std::string> words;
    for (size_t i = 0; i < musical.size(); ++i) {
      const bool dropped = std::find(less.begin(), less.end(), musical[i]) != less.end();
      const bool takesValue = i + 1 < musical.size() && !musical[i + 1].starts_with("--");
      if (!dropped) {
        words.push_back(musical[i]);
        if (takesValue) words.push_back(musical[i + 1]);
      }
      if (takesValue) ++i;
    }
    words.insert(words.end(), more.begin(), more.end());
    return words;
  };
  const Case cases[] = {
      {{"--preset", "musical"}, musical},
      {{"--preset", "desktop"}, {}},
      {{"--preset", "musical", "--key", "D", "--scale", "minor-pentatonic"},
       with({"--key", "D", "--scale", "minor-pentatonic"}, {})},
      {{"--map", "1:2", "--preset", "musical"}, with({"--map", "1:2"}, {"--map"})},
      // With the flag they need turned off, the preset's options for it go too.
      {{"--preset", "musical", "--no-chords"},
       with({"--no-chords"}, {"--chords", "--chord-program", "--chord-velocity"})},
      // An option that excludes one of the preset's takes its place.
      {{"--preset", "musical", "--columns", "9"},
       with({"--columns", "9"}, {"--metre", "--harmony"})},
      {{"--preset", "musical", "--max-seconds", "30"},
       with({"--max-seconds", "30"}, {"--metre", "--harmony"})},
      // Given on its own, an option stays, whatever the flag it needs.
      {{"--preset", "musical", "--no-chords", "--chord-program", "5"},
       with({"--no-chords", "--chord-program", "5"},
            {"--chords", "--chord-program", "--chord-velocity"})},
      {{"--range", "10:20", "--preset", "musical"}, with({"--range", "10:20"}, {"--map"})},
  };
  for (const Case& c : cases) {
    const Result<ConverterOptions> preset = FromWords(c.words);
    const Result<ConverterOptions> spelled = FromWords(c.spelledOut);
    ASSERT_TRUE(preset) << preset.failure().Line();
    ASSERT_TRUE(spelled) << spelled.failure().Line();
    EXPECT_TRUE(ShapeOf(*preset) == ShapeOf(*spelled)) << testing::PrintToString(c.words);
  }
}

TEST(OptionsFrom, EachRefusalSaysItsKindAndWhatItIsAbout) {
  struct Case {
    std::vector<std::string> words;
    FailureKind kind;
    std::string subject;
    std::string reason;
  };
  const Case cases[] = {
      {{"--tempo", "0"},
       FailureKind::kOptionValue,
       "--tempo",
       "'0' is not a whole number from 1 to 4294967295"},
      {{"-j", "x"},
       FailureKind::kOptionValue,
       "--jobs",
       "'x' is not a whole number from 1 to 1024"},
      {{"--preset", "loud"},
       FailureKind::kOptionValue,
       "--preset",
       "'loud' is not a preset; use musical, desktop"},
      {{"--map", "1:2", "--range", "3:4"},
       FailureKind::kOptionConflict,
       "",
       "--map and --range both say how reds become pitches; give one"},
      {{"--columns", "9", "--max-seconds", "9"},
       FailureKind::kOptionConflict,
       "",
       "--max-seconds excludes --columns"},
      {{"--tempo"}, FailureKind::kUsage, "--tempo", "needs a value"},
      {{"--tempo", "1", "--tempo", "2"}, FailureKind::kUsage, "--tempo", "given twice"},
      {{"--loud"}, FailureKind::kUsage, "--loud", "not an option"},
      {{"--save-settings", "--key", "D"},
       FailureKind::kOptionConflict,
       "",
       "setting.set holds scales on C only; --save-settings cannot keep --key"},
  };
  for (const Case& c : cases) {
    const Result<ConverterOptions> options = FromWords(c.words);
    ASSERT_FALSE(options) << testing::PrintToString(c.words);
    EXPECT_EQ(options.failure().kind, c.kind) << options.failure().Line();
    EXPECT_EQ(options.failure().subject, c.subject);
    EXPECT_EQ(options.failure().reason, c.reason);
  }
}

TEST(OptionsFrom, WhatTheBuildCannotMakeIsRefusedByName) {
  const std::vector<GivenOption> given = {{OptionId::kPianoRoll, "roll.png"}};
  const Result<ConverterOptions> options = OptionsFrom({"in.bmp"}, given, BuildFeatures{});
  ASSERT_FALSE(options);
  EXPECT_EQ(options.failure().kind, FailureKind::kMissingFeature);
  EXPECT_EQ(options.failure().Line(), "--piano-roll: this build cannot draw piano rolls");
}

}  // namespace
}  // namespace pixorale::converter
