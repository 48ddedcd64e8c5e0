#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/converter/option_warnings.h"

namespace pixorale::cli {
namespace {

using namespace converter;  // NOLINT: the converter's options are what is parsed

// The options are tested as a build with every feature has them, whatever this build has.
constexpr BuildFeatures kEveryFeature = {true, true, true, true};
constexpr BuildFeatures kBmpAndMidiOnly = {};

ParsedCommandLine Parse(std::vector<std::string> args, std::string* err = nullptr,
                        const BuildFeatures& build = kEveryFeature, std::string* out = nullptr) {
  args.insert(args.begin(), "pixorale-convert");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream printed, errors;
  ParsedCommandLine parsed =
      ParseCommandLine(static_cast<int>(argv.size()), argv.data(), printed, errors, build);
  if (err != nullptr) *err = errors.str();
  if (out != nullptr) *out = printed.str();
  return parsed;
}

std::string Help(const BuildFeatures& build) {
  std::string help;
  Parse({"--help"}, nullptr, build, &help);
  return help;
}

TEST(HearAndSeeOptions, StoresFilesAndVoices) {
  const ParsedCommandLine parsed = Parse(
      {"in.png", "--wav", "a.wav", "--soundfont", "b.sf2", "--piano-roll", "c.png", "--program",
       "0", "--velocity", "127", "--chord-program", "127", "--chord-velocity", "1"});
  ASSERT_TRUE(parsed.options);
  const HearAndSeeOptions& hear = parsed.options->hearAndSee;
  EXPECT_EQ(hear.wav, "a.wav");
  EXPECT_EQ(hear.soundFont, "b.sf2");
  EXPECT_EQ(hear.pianoRoll, "c.png");
  EXPECT_EQ(hear.program, 0);
  EXPECT_EQ(hear.velocity, 127);
  EXPECT_EQ(hear.chordProgram, 127);
  EXPECT_EQ(hear.chordVelocity, 1);
}

TEST(HearAndSeeOptions, RefusesWhatCannotWork) {
  const std::vector<std::vector<std::string>> refused = {
      {"in.png", "--velocity", "0"},  // a note-on of velocity 0 is a note-off
      {"in.png", "--chord-velocity", "0"},
      {"in.png", "--program", "128"},
      {"in.png", "--chord-program", "-1"},
      {"a.png", "b.png", "--wav", "x.wav"},  // one WAV for two songs
      {"a.png", "b.png", "--piano-roll", "x.png"},
      {"a.png", "--wav", "x", "--piano-roll", "x"},
  };
  for (const auto& args : refused) {
    std::string err;
    const ParsedCommandLine parsed = Parse(args, &err);
    EXPECT_FALSE(parsed.options) << args.back();
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_NE(err.find("pixorale-convert: "), std::string::npos);
  }
}

TEST(HearAndSeeOptions, HelpListsThemInTheirOwnGroup) {
  const std::string help = Help(kEveryFeature);
  const size_t group = help.find("Hear and see:");
  ASSERT_NE(group, std::string::npos);
  for (const char* option : {"--wav", "--soundfont", "--gain", "--piano-roll", "--program",
                             "--velocity", "--chord-program", "--chord-velocity"}) {
    // Where the option is listed, not where another's help names it (the presets' does).
    const size_t listed = help.find("\n  " + std::string(option) + " ");
    ASSERT_NE(listed, std::string::npos) << option;
    EXPECT_GT(listed, group) << option;
  }
}

TEST(HearAndSeeOptions, HelpOffersOnlyWhatTheBuildHas) {
  const std::string full = Help(kEveryFeature);
  const std::string bare = Help(kBmpAndMidiOnly);
  EXPECT_NE(full.find("Pictures to convert: BMP, PNG or JPEG"), std::string::npos);
  EXPECT_NE(full.find("Turns pictures (BMP, PNG, JPEG)"), std::string::npos);
  EXPECT_NE(bare.find("Pictures to convert: BMP\n"), std::string::npos) << bare;
  EXPECT_NE(bare.find("Turns pictures (BMP) into"), std::string::npos) << bare;
  const std::string pngAndPianoRoll = Help({true, false, false, true});
  EXPECT_NE(pngAndPianoRoll.find("BMP or PNG"), std::string::npos);
  EXPECT_NE(pngAndPianoRoll.find("pitch range, piano roll\n"), std::string::npos);
  for (const char* lacking : {"PNG", "JPEG", "WAV", "--soundfont", "--piano-roll", "piano roll"}) {
    EXPECT_EQ(bare.find(lacking), std::string::npos) << lacking;
  }
  // The voices shape the MIDI file too: every build has them.
  for (const char* option : {"--program", "--velocity", "--chord-program", "--chord-velocity"}) {
    EXPECT_NE(bare.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(full.find("web page"), std::string::npos);
  EXPECT_NE(bare.find("To hear a picture, open the Pixorale web page"), std::string::npos);
}

TEST(HearAndSeeOptions, WhatTheBuildLacksIsRefusedInOneLine) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"in.bmp", "--wav", "a.wav"}, "--wav: this build cannot write WAV files"},
      {{"in.bmp", "--soundfont", "a.sf2"}, "--soundfont: this build cannot write WAV files"},
      {{"in.bmp", "--piano-roll", "a.png"}, "--piano-roll: this build cannot draw piano rolls"},
      // Before any other complaint about the same command line.
      {{"a.bmp", "b.bmp", "--wav", "a.wav"}, "--wav: this build cannot write WAV files"},
  };
  for (const auto& [args, line] : cases) {
    std::string err;
    const ParsedCommandLine parsed = Parse(args, &err, kBmpAndMidiOnly);
    EXPECT_FALSE(parsed.options);
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_EQ(err, "pixorale-convert: " + line + "\n");
  }
  EXPECT_TRUE(Parse({"in.bmp", "--program", "5"}, nullptr, kBmpAndMidiOnly).options);
}

TEST(HearAndSeeOptions, WarnsAboutOptionsThatDoNothing) {
  ConversionSettings melodyOnly;
  melodyOnly.InstallDefaults();
  HearAndSeeOptions hear;
  hear.soundFont = "x.sf2";
  hear.chordVelocity = 50;
  EXPECT_EQ(HearAndSeeWarnings(hear, melodyOnly).size(), 2u);
  ConversionSettings withChords = melodyOnly;
  withChords.chordMode = 1;
  hear.wav = "x.wav";
  EXPECT_TRUE(HearAndSeeWarnings(hear, withChords).empty());
}

TEST(HearAndSeeOptions, GainIsADecimalNumberOfDecibelsFromMinus60ToPlus24) {
  const std::vector<std::pair<std::string, double>> taken = {
      {"-60", -60.0}, {"+24", 24.0}, {"24", 24.0}, {"0", 0.0}, {"-0.25", -0.25}, {"+1.5", 1.5}};
  for (const auto& [text, gain] : taken) {
    const ParsedCommandLine parsed = Parse({"in.png", "--wav", "a.wav", "--gain", text});
    ASSERT_TRUE(parsed.options) << text;
    EXPECT_EQ(parsed.options->hearAndSee.gainDb, gain) << text;
  }
  EXPECT_FALSE(Parse({"in.png", "--wav", "a.wav"}).options->hearAndSee.gainDb);

  for (const char* text : {"24.01", "-60.5", "100", "1e1", "0x10", "nan", "inf", "-inf", "+-3",
                           "++3", "3 ", " 3", "", "-", "six"}) {
    std::string err;
    const ParsedCommandLine parsed = Parse({"in.png", "--wav", "a.wav", "--gain", text}, &err);
    EXPECT_FALSE(parsed.options) << text;
    EXPECT_NE(err.find("is not a gain in dB from -60 to +24"), std::string::npos) << text << err;
  }
}

TEST(HearAndSeeOptions, GainWithoutAWavIsWarnedAbout) {
  ConversionSettings settings;
  settings.InstallDefaults();
  HearAndSeeOptions hear;
  hear.gainDb = -3.0;
  const std::vector<Warning> warnings = HearAndSeeWarnings(hear, settings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].text, "--gain does nothing without --wav");
  hear.wav = "x.wav";
  EXPECT_TRUE(HearAndSeeWarnings(hear, settings).empty());
}

}  // namespace
}  // namespace pixorale::cli
