#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/converter/given_options.h"
#include "app/converter/option_warnings.h"

namespace pixorale::cli {
namespace {

using namespace converter;  // NOLINT: the converter's options are what is parsed

struct Parsed {
  ParsedCommandLine result;
  std::string out;
  std::string err;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "pixorale-convert");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  Parsed parsed{ParseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err), {}, {}};
  parsed.out = out.str();
  parsed.err = err.str();
  return parsed;
}

TEST(ParseCommandLine, StoresEachSettingGiven) {
  const Parsed parsed =
      Parse({"in.bmp",     "--scale",  "c-dorian", "--sustain",    "0",      "--tempo",
             "4294967295", "--timing", "ms",       "--resolution", "32767",  "--chords",
             "--range",    "10:20",    "--snap",   "down",         "--seed", "18446744073709551615",
             "-j",         "3",        "--json"});
  ASSERT_TRUE(parsed.result.options) << parsed.err;
  const ConverterOptions& options = *parsed.result.options;
  const SettingOverrides& given = options.overrides;
  EXPECT_EQ(given.scaleIndex, 4);
  EXPECT_EQ(given.sustain, 0u);
  EXPECT_EQ(given.tempo, 4294967295u);
  EXPECT_EQ(given.timingMode, 1);
  EXPECT_EQ(given.resolution, 32767);
  EXPECT_EQ(given.chordMode, 1);
  EXPECT_EQ(given.range, (std::pair<uint8_t, uint8_t>{10, 20}));
  EXPECT_EQ(options.snap, SnapMode::kDown);
  EXPECT_EQ(options.seed, 18446744073709551615u);
  EXPECT_EQ(options.jobs, 3u);
  EXPECT_EQ(options.report, ReportFormat::kJson);
}

TEST(ParseCommandLine, LeavesWhatIsNotGivenUnset) {
  const Parsed parsed = Parse({"in.bmp"});
  ASSERT_TRUE(parsed.result.options);
  const SettingOverrides& given = parsed.result.options->overrides;
  EXPECT_FALSE(given.scaleIndex || given.sustain || given.tempo || given.timingMode ||
               given.resolution || given.chordMode || given.range);
  EXPECT_FALSE(parsed.result.options->jobs);
}

TEST(ParseCommandLine, RefusesValuesOutsideTheirRange) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--scale", "9"},
           {"--tempo", "0"},
           {"--sustain", "-1"},
           {"--resolution", "32768"},
           {"--range", "0:256"},
           {"--timing", "bar"},
           {"-j", "0"},
           {"--snap", "sideways"},
           {"-o", "-", "--info"},
           {"-o", "/dev/stdout", "--json"},
       }) {
    std::vector<std::string> withInput = args;
    withInput.push_back("in.bmp");
    const Parsed parsed = Parse(withInput);
    EXPECT_FALSE(parsed.result.options) << args[0];
    EXPECT_EQ(parsed.result.exitStatus, kExitUsage) << args[0];
    EXPECT_NE(parsed.err.find("--help"), std::string::npos) << parsed.err;
  }
}

TEST(ParseCommandLine, HelpShowsTheDefaultsTheConversionUses) {
  const Parsed parsed = Parse({"--help"});
  EXPECT_EQ(parsed.result.exitStatus, kExitConverted);
  for (const char* text : {"(default: c-major)", "(default: 16)", "(default: 120)",
                           "(default: 768)", "index 0 to 8", "1 to 32767"}) {
    EXPECT_NE(parsed.out.find(text), std::string::npos) << text;
  }
}

TEST(OptionWarnings, NameOptionsThatWouldDoNothingOrSomethingElse) {
  struct Case {
    std::vector<std::string> args;
    std::string warning;  // empty: none expected
  };
  const Case cases[] = {
      {{"--range", "20:20"}, "no pitch range applies"},
      {{"--range", "10:20"}, ""},
      {{"--sustain", "0"}, "makes no sound"},
      {{"--sustain", "1"}, ""},
      {{"--tempo", "140"}, ""},  // 428571 us: within a microsecond
      {{"--tempo", "3"}, "cannot hold it"},
      {{"--tempo", "100000000"}, "cannot hold it; 6e+07 BPM is written"},
      {{"--tempo", "7000000"}, "7.5e+06 BPM"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("in.bmp");
    const Parsed parsed = Parse(args);
    ASSERT_TRUE(parsed.result.options) << c.args[0];
    const std::vector<Warning> warnings = OptionWarnings(parsed.result.options->overrides);
    if (c.warning.empty()) {
      EXPECT_TRUE(warnings.empty()) << c.args[1];
    } else {
      ASSERT_EQ(warnings.size(), 1u) << c.args[1];
      EXPECT_NE(warnings[0].text.find(c.warning), std::string::npos) << warnings[0].text;
    }
  }
}

}  // namespace
}  // namespace pixorale::cli

namespace pixorale::cli {
namespace {

TEST(ParseCommandLine, MaxSecondsIsAPlainPositiveDecimal) {
  const std::vector<std::pair<std::string, double>> taken = {
      {"60", 60.0}, {"0.5", 0.5}, {".5", 0.5}, {"2.", 2.0}, {"007", 7.0}};
  for (const auto& [text, seconds] : taken) {
    const Parsed parsed = Parse({"in.bmp", "--max-seconds", text});
    ASSERT_TRUE(parsed.result.options) << text << parsed.err;
    EXPECT_EQ(parsed.result.options->musical.maxSeconds, seconds) << text;
  }
  for (const char* text :
       {"0", "0.0", "-1", "+5", "1e2", "inf", "nan", "0x10", "1.2.3", ".", "", " 5", "5 "}) {
    EXPECT_FALSE(Parse({"in.bmp", "--max-seconds", text}).result.options) << text;
  }
}

}  // namespace
}  // namespace pixorale::cli

namespace pixorale::cli {
namespace {

using namespace converter;  // NOLINT: the converter's options are what is parsed

// The command line and the page read options through the one table: the same words give the
// same options.
TEST(ParseCommandLine, ReadsTheTablesOptionsAsThePageReadsThem) {
  const std::vector<std::string> words = {"--preset", "musical", "--key",  "Db", "--chords",
                                          "--tempo",  "90",      "--seed", "3",  "--dynamics"};
  std::vector<std::string> args = words;
  args.push_back("in.bmp");
  const Parsed parsed = Parse(args);
  ASSERT_TRUE(parsed.result.options) << parsed.err;
  const Result<std::vector<GivenOption>> given = ReadOptionWords(words);
  ASSERT_TRUE(given);
  const Result<ConverterOptions> page = OptionsFrom({"in.bmp"}, *given);
  ASSERT_TRUE(page);
  const ConverterOptions& cli = *parsed.result.options;
  EXPECT_EQ(cli.musical.map, page->musical.map);
  EXPECT_EQ(cli.musical.maxSeconds, page->musical.maxSeconds);
  EXPECT_EQ(cli.musical.key, page->musical.key);
  EXPECT_EQ(cli.musical.dynamics, page->musical.dynamics);
  EXPECT_EQ(cli.overrides.chordMode, page->overrides.chordMode);
  EXPECT_EQ(cli.overrides.tempo, page->overrides.tempo);
  EXPECT_EQ(cli.seed, page->seed);
  EXPECT_EQ(cli.musical.key, 1);
}

}  // namespace
}  // namespace pixorale::cli
