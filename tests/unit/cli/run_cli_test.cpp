#include "app/cli/run_cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

namespace pixorale::cli {
namespace {

using namespace converter;  // NOLINT: the converter's options are what is parsed

namespace fs = std::filesystem;

// The converter run in-process, its streams read back.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

class RunCliInProcess : public ::testing::Test {
 protected:
  RunCliInProcess() : here_(dir_.path()) {
    test::WriteFileBytes(dir_ / "a.bmp", test::MakeMelodyBmp({60, 62, 64}, {8, 8, 8}));
    test::BmpBuilder eightBit;
    eightBit.width = 2;
    eightBit.height = 2;
    eightBit.bitCount = 8;
    test::WriteFileBytes(dir_ / "gray.bmp", eightBit.Build());
  }

  static CliRun Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "pixorale-convert");
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(arguments, {out, err});
    run.out = out.str();
    run.err = err.str();
    return run;
  }

  test::TempDir dir_;
  test::ScopedCurrentDirectory here_;
};

TEST_F(RunCliInProcess, ReportsEachInputOnItsStreamAndExitsByTheWorstOutcome) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string out;  // expected in standard output
    std::string err;  // expected in standard error ("" for none)
  };
  const Case cases[] = {
      {{"--seed", "1", "--info", "a.bmp"},
       kExitConverted,
       "a.bmp -> a.mid: 3 notes, 1 track, ",
       ""},
      {{"--seed", "1", "--json", "gray.bmp"},
       kExitSomeFailed,
       "\"converted\":false,\"error\":\"gray.bmp: not a 24-bit or 32-bit BMP: 8 bits per pixel",
       "pixorale-convert: gray.bmp: not a 24-bit or 32-bit BMP: 8 bits per pixel"},
      {{"--seed", "1", "missing.bmp", "a.bmp", "-f"},
       kExitSomeFailed,
       "",
       "pixorale-convert: missing.bmp: cannot be opened"},
      {{"--no-such-option"}, kExitUsage, "", "pixorale-convert: "},
  };
  for (const Case& c : cases) {
    const CliRun run = Run(c.arguments);
    const std::string what = c.arguments.front() + " " + c.arguments.back();
    EXPECT_EQ(run.status, c.status) << what;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << what << ": " << run.out;
    if (c.err.empty()) {
      EXPECT_EQ(run.err, "") << what;
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << what << ": " << run.err;
    }
  }
}

// The voices reach the conversion itself: the melody's program change and note-ons carry
// them in the written file.
TEST_F(RunCliInProcess, VoicesAreWrittenByTheConversion) {
  ASSERT_EQ(Run({"--seed", "1", "a.bmp", "--program", "40", "--velocity", "64"}).status,
            kExitConverted);
  const std::vector<uint8_t> bytes = test::ReadFileBytes(dir_ / "a.mid");
  const std::string midi(bytes.begin(), bytes.end());
  EXPECT_NE(midi.find(std::string("\xC0\x28", 2)), std::string::npos) << "program 40";
  // Every melody note-on (status 90, pitch, velocity) is played at 64.
  size_t noteOns = 0;
  for (size_t i = 0; i + 2 < bytes.size(); ++i) {
    if (bytes[i] != 0x90) continue;
    ++noteOns;
    EXPECT_EQ(bytes[i + 2], 64) << "at " << i;
  }
  EXPECT_EQ(noteOns, 3u);
}

// The settings used are stated whatever folder the run is in: --no-settings ignores a
// setting.set that would change the song, and the report says where settings came from.
TEST_F(RunCliInProcess, NoSettingsIgnoresASettingSetAndTheReportSaysWhereSettingsCameFrom) {
  ASSERT_EQ(Run({"--seed", "3", "a.bmp", "-o", "plain.mid"}).status, kExitConverted);
  // tempo 33, resolution 96, chords on: a song unlike the defaults'
  test::WriteFileBytes(dir_ / "setting.set", {0, 16, 0, 0, 0, 33, 0, 0, 0, 0, 96, 0, 1, 0, 255});
  const CliRun hostile = Run({"--seed", "3", "a.bmp", "-o", "hostile.mid", "--json"});
  EXPECT_NE(hostile.out.find("\"tempo\":33"), std::string::npos) << hostile.out;
  EXPECT_NE(hostile.out.find("setting.set\"}"), std::string::npos) << hostile.out;
  const CliRun ignored =
      Run({"--seed", "3", "a.bmp", "-o", "ignored.mid", "--no-settings", "--json"});
  EXPECT_NE(ignored.out.find("\"settings_file\":null"), std::string::npos) << ignored.out;
  EXPECT_EQ(test::ReadFileBytes(dir_ / "ignored.mid"), test::ReadFileBytes(dir_ / "plain.mid"));
  EXPECT_NE(test::ReadFileBytes(dir_ / "hostile.mid"), test::ReadFileBytes(dir_ / "plain.mid"));
}

TEST_F(RunCliInProcess, CombinationsSettingSetCannotHoldOrThatContradictAreUsageErrors) {
  const std::vector<std::vector<std::string>> refused = {
      {"--save-settings", "--scale", "blues"},
      {"--save-settings", "--key", "D"},
      {"a.bmp", "--map", "48:84", "--range", "10:20"},
      {"a.bmp", "--map", "84:48"},
      {"a.bmp", "--map", "0:128"},
      {"a.bmp", "--key", "H"},
      {"a.bmp", "--columns", "0"},
      {"a.bmp", "--columns", "5", "--max-seconds", "10"},
      {"a.bmp", "--max-seconds", "-1"},
      {"a.bmp", "--no-settings", "--settings", "x.set"},
  };
  for (const auto& arguments : refused) {
    const CliRun run = Run(arguments);
    EXPECT_EQ(run.status, kExitUsage) << arguments.back();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "setting.set")) << arguments.back();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "a.mid")) << arguments.back();
  }
  const CliRun saved = Run({"--save-settings", "--key", "C", "--tempo", "90"});
  EXPECT_EQ(saved.status, kExitConverted);
  EXPECT_NE(saved.err.find("saved scale c-major, sustain 16, tempo 90"), std::string::npos)
      << saved.err;
  EXPECT_NE(saved.err.find("setting.set"), std::string::npos);
}

// Left at their defaults, the musical options change no byte: key C is the plain song.
TEST_F(RunCliInProcess, TheMusicalOptionsAtTheirDefaultsChangeNoByte) {
  ASSERT_EQ(Run({"--seed", "5", "a.bmp", "-o", "plain.mid"}).status, kExitConverted);
  ASSERT_EQ(Run({"--seed", "5", "a.bmp", "-o", "c.mid", "--key", "C", "--columns", "3"}).status,
            kExitConverted);
  EXPECT_EQ(test::ReadFileBytes(dir_ / "c.mid"), test::ReadFileBytes(dir_ / "plain.mid"));
  const CliRun fitted =
      Run({"--seed", "5", "a.bmp", "-o", "short.mid", "--json", "--max-seconds", "0.5"});
  EXPECT_NE(fitted.out.find("\"columns\":1,"), std::string::npos) << fitted.out;
  // Its one note lasts a second: the song cannot keep the limit, and says so.
  EXPECT_NE(fitted.err.find("warning: a.bmp: one note alone lasts longer than --max-seconds"),
            std::string::npos)
      << fitted.err;
}

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// Each line in English alone, saying what the file is and what the converter reads.
TEST_F(RunCliInProcess, FilesItCannotConvertAreToldWhatTheyAre) {
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string reason;
  };
  const std::string reads = "; pixorale-convert reads BMP, PNG and JPEG";
  const Case cases[] = {
      {"photo.gif", Bytes("GIF89a\x02\0\x02\0\0\0\0;"), "unsupported picture (GIF)" + reads},
      {"photo.webp", Bytes(std::string_view("RIFF\x1a\0\0\0WEBPVP8L", 16)),
       "unsupported picture (WebP)" + reads},
      {"photo.tif", Bytes(std::string_view("II*\0\x08\0\0\0\0\0", 10)),
       "unsupported picture (TIFF)" + reads},
      {"empty.jpg", {}, "unsupported picture (empty file)" + reads},
      {"notes.jpg", Bytes("shopping list\nmilk\n"), "unsupported picture (not a picture)" + reads},
      {"gray.bmp", {}, "not a 24-bit or 32-bit BMP: 8 bits per pixel"},
  };
  for (const Case& c : cases) {
    if (c.name != "gray.bmp") test::WriteFileBytes(dir_ / c.name, c.bytes);
    const CliRun run = Run({c.name});
    EXPECT_EQ(run.status, kExitSomeFailed) << c.name;
    EXPECT_EQ(run.err, "pixorale-convert: " + c.name + ": " + c.reason + "\n");
  }
}

// "photo.bmp song.mid" meant "-o song.mid": the picture converts, and the line for song.mid
// says how to name an output, whether or not song.mid exists.
TEST_F(RunCliInProcess, AMidiFileGivenAsAnInputIsToldThatDashONamesTheOutput) {
  const std::string line =
      "pixorale-convert: song.mid: not a picture; -o names the output (-o song.mid)\n";
  const CliRun missing = Run({"a.bmp", "song.mid"});
  EXPECT_EQ(missing.status, kExitSomeFailed);
  EXPECT_EQ(missing.err, line);
  EXPECT_TRUE(fs::exists(dir_ / "a.mid"));

  fs::copy_file(dir_ / "a.mid", dir_ / "song.mid");
  const CliRun existing = Run({"a.bmp", "song.mid", "-f"});
  EXPECT_EQ(existing.err, line);
  const CliRun elsewhere = Run({"song.mid", "-d", "."});
  EXPECT_EQ(elsewhere.err, line);
}

// Which of two inputs would be converted must not depend on their order: neither is, and
// each line names the other.
TEST_F(RunCliInProcess, InputsThatWouldWriteOneOutputAreRefusedBeforeAnythingIsWritten) {
  const std::vector<uint8_t> picture = test::ReadFileBytes(dir_ / "a.bmp");
  test::WriteFileBytes(dir_ / "p.jpg", picture);
  test::WriteFileBytes(dir_ / "p.png", picture);
  const CliRun run = Run({"p.jpg", "a.bmp", "p.png", "-j", "2"});
  EXPECT_EQ(run.status, kExitSomeFailed);
  EXPECT_EQ(run.err,
            "pixorale-convert: p.jpg: its output p.mid is also the output of p.png; neither is "
            "converted\n"
            "pixorale-convert: p.png: its output p.mid is also the output of p.jpg; neither is "
            "converted\n");
  EXPECT_FALSE(fs::exists(dir_ / "p.mid"));
  EXPECT_TRUE(fs::exists(dir_ / "a.mid"));
}

// A file cut short converts as before, its missing pixels black, and says how much is missing.
TEST_F(RunCliInProcess, ACutShortBmpConvertsAndWarnsHowManyBytesAreMissing) {
  std::vector<uint8_t> cut = test::ReadFileBytes(dir_ / "a.bmp");
  cut.resize(cut.size() - 3 - 7);  // the last row's padding, which it needs not hold, and 7
  test::WriteFileBytes(dir_ / "cut.bmp", cut);
  const CliRun run = Run({"--seed", "1", "cut.bmp"});
  EXPECT_EQ(run.status, kExitConverted);
  EXPECT_EQ(run.err,
            "pixorale-convert: warning: cut.bmp: the pixel data ends 7 bytes early; the missing "
            "pixels are read as black\n");
  EXPECT_TRUE(fs::exists(dir_ / "cut.mid"));
  cut = test::ReadFileBytes(dir_ / "a.bmp");
  cut.resize(cut.size() - 3 - 1);
  test::WriteFileBytes(dir_ / "cut.bmp", cut);
  EXPECT_EQ(Run({"--seed", "1", "cut.bmp", "-f"}).err,
            "pixorale-convert: warning: cut.bmp: the pixel data ends 1 byte early; the missing "
            "pixels are read as black\n");
  EXPECT_EQ(Run({"--seed", "1", "a.bmp", "-o", "whole.mid"}).err, "");
}

// ImageMagick saves the same pixels, with an alpha that changes along each row, as an RGBA
// PNG and as a 32-bit BMP: both convert to the same file, alpha ignored.
TEST_F(RunCliInProcess, A32BitBmpConvertsAsTheRgbaPngOfTheSamePixels) {
  const std::string png = (dir_ / "rgba.png").string();
  const std::string bmp = (dir_ / "rgba.bmp").string();
  // ImageMagick is the independent writer of both files; under Wine it is not at hand.
  if (std::system("convert -version") != 0) {
    GTEST_SKIP() << "ImageMagick's convert is not available here";
  }
  ASSERT_EQ(std::system(("convert -seed 3 -size 40x9 plasma: -alpha set -channel A -fx i/w "
                         "+channel PNG32:" +
                         png + " && convert " + png + " BMP:" + bmp)
                            .c_str()),
            0);
  ASSERT_EQ(test::ReadFileBytes(dir_ / "rgba.bmp").at(28), 32) << "a 32-bit BMP";
  ASSERT_EQ(Run({"--seed", "5", "rgba.png", "-o", "png.mid"}).status, kExitConverted);
  const CliRun bmpRun = Run({"--seed", "5", "rgba.bmp", "-o", "bmp.mid"});
  ASSERT_EQ(bmpRun.status, kExitConverted) << bmpRun.err;
  EXPECT_EQ(test::ReadFileBytes(dir_ / "bmp.mid"), test::ReadFileBytes(dir_ / "png.mid"));
}

}  // namespace
}  // namespace pixorale::cli
