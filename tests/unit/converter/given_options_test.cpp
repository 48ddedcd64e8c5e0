#include "app/converter/given_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixorale::converter {
namespace {

Result<ConverterOptions> FromWords(const std::vector<std::string>& words) {
  const Result<std::vector<GivenOption>> given = ReadOptionWords(words);
  if (!given) return given.failure();
  return OptionsFrom({"in.bmp"}, *given);
}

// The musical controls and the range, which presets and their rivals decide between.
struct Shape {
  std::optional<PitchMap> map;
  std::optional<double> maxSeconds;
  std::optional<uint32_t> columns;
  std::optional<std::pair<uint8_t, uint8_t>> range;
  std::optional<uint8_t> key;
  bool operator==(const Shape&) const = default;
};

Shape ShapeOf(const ConverterOptions& options) {
  return {options.musical.map, options.musical.maxSeconds, options.musical.columns,
          options.overrides.range, options.musical.key};
}

TEST(OptionsFrom, APresetIsItsOptionsAndWhatIsGivenBesideItTakesPrecedence) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> spelledOut;
  };
  const Case cases[] = {
      {{"--preset", "musical"}, {"--map", "48:84", "--max-seconds", "60"}},
      {{"--preset", "desktop"}, {}},
      {{"--preset", "musical", "--key", "D"},
       {"--map", "48:84", "--max-seconds", "60", "--key", "D"}},
      {{"--map", "1:2", "--preset", "musical"}, {"--map", "1:2", "--max-seconds", "60"}},
      // An option that excludes one of the preset's takes its place.
      {{"--preset", "musical", "--columns", "9"}, {"--map", "48:84", "--columns", "9"}},
      {{"--range", "10:20", "--preset", "musical"}, {"--range", "10:20", "--max-seconds", "60"}},
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
