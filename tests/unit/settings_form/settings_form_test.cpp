#include "app/settings_form.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pixorale {
namespace {

ConversionSettings Defaults() {
  ConversionSettings s;
  s.scaleIndex = 0;
  s.sustain = 16;
  s.tempo = 120;
  s.timingMode = 0;
  s.resolution = 768;
  s.chordMode = 0;
  s.rangeLow = 0;
  s.rangeHigh = 255;
  s.settingsDirectory = "/start/dir";
  return s;
}

void ExpectSameSettings(const ConversionSettings& actual, const ConversionSettings& expected) {
  EXPECT_EQ(actual.scaleIndex, expected.scaleIndex);
  EXPECT_EQ(actual.sustain, expected.sustain);
  EXPECT_EQ(actual.tempo, expected.tempo);
  EXPECT_EQ(actual.timingMode, expected.timingMode);
  EXPECT_EQ(actual.resolution, expected.resolution);
  EXPECT_EQ(actual.chordMode, expected.chordMode);
  EXPECT_EQ(actual.rangeLow, expected.rangeLow);
  EXPECT_EQ(actual.rangeHigh, expected.rangeHigh);
  EXPECT_EQ(actual.settingsDirectory, expected.settingsDirectory);
}

struct ParseCase {
  const char* text;
  int32_t expected;
};

class ParseLongTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseLongTest, ReadsLikeAtolWithA32BitLong) {
  EXPECT_EQ(ParseLong(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    SettingsForm, ParseLongTest,
    testing::Values(ParseCase{"", 0}, ParseCase{"0", 0}, ParseCase{"768", 768},
                    ParseCase{"00012", 12}, ParseCase{" \t\n\v\f\r42", 42}, ParseCase{"+7", 7},
                    ParseCase{"-5", -5}, ParseCase{"12abc", 12}, ParseCase{"abc", 0},
                    ParseCase{"- 3", 0}, ParseCase{"0x10", 0}, ParseCase{"1 2", 1},
                    ParseCase{"2147483647", 2147483647}, ParseCase{"2147483648", 2147483647},
                    ParseCase{"4294967295", 2147483647},
                    ParseCase{"99999999999999999999999", 2147483647},
                    ParseCase{"-2147483648", INT32_MIN}, ParseCase{"-2147483649", INT32_MIN},
                    ParseCase{"-99999999999999999999999", INT32_MIN}));

TEST(SettingsFormOpen, DefaultsShowTheFirstScaleAndNoRange) {
  const SettingsForm form = FormFromSettings(Defaults());
  EXPECT_EQ(form.scaleSelection, 0);
  EXPECT_EQ(form.sustainText, "16");
  EXPECT_EQ(form.tempoText, "120");
  EXPECT_EQ(form.resolutionText, "768");
  EXPECT_TRUE(form.beatUnits);
  EXPECT_TRUE(form.singleNotes);
  EXPECT_FALSE(form.rangeGiven);
  EXPECT_EQ(form.rangeLowText, "");
  EXPECT_EQ(form.rangeHighText, "");
}

TEST(SettingsFormOpen, StoredRangeIsShownInItsEdits) {
  ConversionSettings s = Defaults();
  s.rangeLow = 40;
  s.rangeHigh = 90;
  const SettingsForm form = FormFromSettings(s);
  EXPECT_TRUE(form.rangeGiven);
  EXPECT_EQ(form.rangeLowText, "40");
  EXPECT_EQ(form.rangeHighText, "90");
}

TEST(SettingsFormOpen, OnlyZeroTo255MeansNoRange) {
  for (auto [low, high] : {std::pair{0, 254}, std::pair{1, 255}, std::pair{0, 0}}) {
    ConversionSettings s = Defaults();
    s.rangeLow = static_cast<uint8_t>(low);
    s.rangeHigh = static_cast<uint8_t>(high);
    const SettingsForm form = FormFromSettings(s);
    EXPECT_TRUE(form.rangeGiven) << low << "-" << high;
    EXPECT_EQ(form.rangeLowText, std::to_string(low));
    EXPECT_EQ(form.rangeHighText, std::to_string(high));
  }
}

TEST(SettingsFormOpen, ScaleIndexPastTheListSelectsNothing) {
  ConversionSettings s = Defaults();
  s.scaleIndex = 8;
  EXPECT_EQ(FormFromSettings(s).scaleSelection, 8);
  s.scaleIndex = 9;
  EXPECT_EQ(FormFromSettings(s).scaleSelection, -1);
  s.scaleIndex = 12;
  EXPECT_EQ(FormFromSettings(s).scaleSelection, -1);
}

TEST(SettingsFormOpen, NumbersAreShownUnsigned) {
  ConversionSettings s = Defaults();
  s.sustain = 4294967295u;
  s.tempo = 0;
  s.resolution = 65535;
  const SettingsForm form = FormFromSettings(s);
  EXPECT_EQ(form.sustainText, "4294967295");
  EXPECT_EQ(form.tempoText, "0");
  EXPECT_EQ(form.resolutionText, "65535");
}

TEST(SettingsFormOpen, AnyNonZeroModeChecksTheSecondButton) {
  ConversionSettings s = Defaults();
  s.timingMode = 2;
  s.chordMode = 7;
  const SettingsForm form = FormFromSettings(s);
  EXPECT_FALSE(form.beatUnits);
  EXPECT_FALSE(form.singleNotes);
}

TEST(SettingsFormStore, UntouchedFormStoresTheSettingsItShowed) {
  ConversionSettings s = Defaults();
  s.scaleIndex = 6;
  s.timingMode = 1;
  s.chordMode = 1;
  s.rangeLow = 10;
  s.rangeHigh = 200;  // above the label's 127, stored as is
  ConversionSettings stored = Defaults();
  ASSERT_EQ(StoreForm(FormFromSettings(s), stored), StoreResult::kStored);
  ExpectSameSettings(stored, s);
}

TEST(SettingsFormStore, NoSelectionStores255) {
  SettingsForm form = FormFromSettings(Defaults());
  form.scaleSelection = -1;
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.scaleIndex, 255);
}

struct RangeCase {
  const char* low;
  const char* high;
  uint8_t storedLow;
  uint8_t storedHigh;
};

class SettingsFormRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(SettingsFormRangeTest, RangeIsCutTo8BitsThenKeptOnlyWhenHighIsAboveLow) {
  SettingsForm form = FormFromSettings(Defaults());
  form.rangeGiven = true;
  form.rangeLowText = GetParam().low;
  form.rangeHighText = GetParam().high;
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.rangeLow, GetParam().storedLow);
  EXPECT_EQ(s.rangeHigh, GetParam().storedHigh);
}

INSTANTIATE_TEST_SUITE_P(SettingsForm, SettingsFormRangeTest,
                         testing::Values(RangeCase{"40", "90", 40, 90},
                                         RangeCase{"90", "40", 0, 255},
                                         RangeCase{"60", "60", 0, 255},
                                         RangeCase{"0", "255", 0, 255},
                                         RangeCase{"10", "200", 10, 200}, RangeCase{"", "", 0, 255},
                                         RangeCase{"300", "400", 44, 144},  // 300 -> 44
                                         RangeCase{"50", "300", 0, 255},    // 300 -> 44, not above
                                         RangeCase{"-1", "5", 0, 255}));    // -1 -> 255

TEST(SettingsFormStore, RangeEditsAreIgnoredWithoutTheRangeOption) {
  SettingsForm form = FormFromSettings(Defaults());
  form.rangeGiven = false;
  form.rangeLowText = "40";
  form.rangeHighText = "90";
  ConversionSettings s = Defaults();
  s.rangeLow = 40;
  s.rangeHigh = 90;
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.rangeLow, 0);
  EXPECT_EQ(s.rangeHigh, 255);
}

TEST(SettingsFormStore, StoredNoRangeReopensWithNoRange) {
  SettingsForm form = FormFromSettings(Defaults());
  form.rangeGiven = true;
  form.rangeLowText = "0";
  form.rangeHighText = "255";
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_FALSE(FormFromSettings(s).rangeGiven);
}

TEST(SettingsFormStore, NumbersAreCutToTheirFieldWidth) {
  SettingsForm form = FormFromSettings(Defaults());
  form.resolutionText = "70000";
  form.sustainText = "-1";
  form.tempoText = "4294967296";
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.resolution, 4464);      // 70000 modulo 65536
  EXPECT_EQ(s.sustain, 4294967295u);  // all 32 bits of -1
  EXPECT_EQ(s.tempo, 2147483647u);    // saturated by the read
}

TEST(SettingsFormStore, EmptySustainAndResolutionAreStoredAsZero) {
  SettingsForm form = FormFromSettings(Defaults());
  form.sustainText = "";
  form.resolutionText = "";
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.sustain, 0u);
  EXPECT_EQ(s.resolution, 0);
}

TEST(SettingsFormStore, RadioButtonsStoreZeroOrOne) {
  SettingsForm form = FormFromSettings(Defaults());
  form.beatUnits = false;
  form.singleNotes = false;
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.timingMode, 1);
  EXPECT_EQ(s.chordMode, 1);
}

TEST(SettingsFormStore, TextIsReadUpTo1023Characters) {
  SettingsForm form = FormFromSettings(Defaults());
  form.sustainText = std::string(1022, '0') + "15";
  ConversionSettings s = Defaults();
  ASSERT_EQ(StoreForm(form, s), StoreResult::kStored);
  EXPECT_EQ(s.sustain, 1u);
}

TEST(SettingsFormStore, ZeroTempoIsRefusedAndNothingChanges) {
  for (const char* tempo : {"0", "", "00", "abc"}) {
    SettingsForm form = FormFromSettings(Defaults());
    form.tempoText = tempo;
    form.sustainText = "99";
    form.scaleSelection = 3;
    form.rangeGiven = true;
    form.rangeLowText = "40";
    form.rangeHighText = "90";
    ConversionSettings s = Defaults();
    EXPECT_EQ(StoreForm(form, s), StoreResult::kTempoNotPositive) << '"' << tempo << '"';
    ExpectSameSettings(s, Defaults());
  }
}

TEST(SettingsFormStore, EveryPositiveTempoIsStoredAsEntered) {
  for (auto [text, tempo] :
       {std::pair{"1", 1u}, std::pair{"65536", 65536u}, std::pair{"2147483647", 2147483647u}}) {
    SettingsForm form = FormFromSettings(Defaults());
    form.tempoText = text;
    ConversionSettings s = Defaults();
    ASSERT_EQ(StoreForm(form, s), StoreResult::kStored) << text;
    EXPECT_EQ(s.tempo, tempo);
  }
}

}  // namespace
}  // namespace pixorale
