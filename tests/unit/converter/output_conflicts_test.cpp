#include "app/converter/output_conflicts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/converter/job_outputs.h"
#include "support/temp_dir.h"

namespace pixorale::converter {
namespace {

namespace fs = std::filesystem;

ConversionJob JobWith(const std::string& midi, std::optional<std::string> wav = {},
                      std::optional<std::string> roll = {}, bool force = true) {
  ConversionJob job;
  job.inputPath = "in.bmp";
  job.outputPath = midi;
  job.wavPath = std::move(wav);
  job.pianoRollPath = std::move(roll);
  job.force = force;
  return job;
}

class OutputConflicts : public testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(dir_ / "in.bmp", {'B', 'M'});
    test::WriteFileBytes(dir_ / "font.sf2", {'R', 'I', 'F', 'F'});
    test::WriteFileBytes(dir_ / "old.mid", {'M'});
    fs::create_directory(dir_ / "sub");
    // Wine, like Windows without developer mode, cannot make links: those cases are skipped.
    std::error_code error;
    fs::create_symlink("font.sf2", dir_ / "font-link", error);
    links_ = !error;
    fs::create_hard_link(dir_ / "in.bmp", dir_ / "same.bmp");
  }
  bool Skipped(const std::string& path) const { return !links_ && path == "font-link"; }

  test::TempDir dir_;
  test::ScopedCurrentDirectory here_{dir_.path()};
  bool links_ = false;
};

// --force replaces outputs, never the picture or the SoundFont the run reads, whatever name
// leads to them and whichever output names them.
TEST_F(OutputConflicts, InputsAreNeverOutputs) {
  struct Case {
    ConversionJob job;
    std::string path;
    std::string reason;
  };
  const std::string picture = "is the input picture; choose another output";
  const std::string font = "is the SoundFont; choose another output";
  const Case cases[] = {
      {JobWith("./in.bmp"), "./in.bmp", picture},
      {JobWith("same.bmp"), "same.bmp", picture},
      {JobWith("a.mid", "font.sf2"), "font.sf2", font},
      {JobWith("font-link", "a.wav"), "font-link", font},
      {JobWith("a.mid", "a.wav", "sub/../font.sf2"), "sub/../font.sf2", font},
      {JobWith("old.mid", {}, {}, false), "old.mid", kRefusedExistingOutput},
      {JobWith("sub"), "sub", "is a directory"},
  };
  for (const Case& c : cases) {
    if (Skipped(c.path)) continue;
    const std::optional<Failure> refused = FirstOutputRefused(c.job, "font.sf2");
    ASSERT_TRUE(refused) << c.path;
    EXPECT_EQ(refused->subject, c.path);
    EXPECT_EQ(refused->reason, c.reason);
  }
  EXPECT_FALSE(FirstOutputRefused(JobWith("old.mid", "a.wav", "a.png"), "font.sf2"));
  // Without a WAV there is no SoundFont to keep.
  EXPECT_FALSE(FirstOutputRefused(JobWith("font.sf2"), ""));
}

TEST_F(OutputConflicts, OutputsWrittenToADescriptorAreNotCheckedAsFiles) {
  ConversionJob job = JobWith("in.bmp", "font.sf2");
  job.outputDescriptor = 1;
  job.wavDescriptor = 1;
  EXPECT_FALSE(FirstOutputRefused(job, "font.sf2"));
}

TEST_F(OutputConflicts, TwoNamesOfOneOutputCollide) {
  struct Case {
    ConversionJob job;
    std::string conflict;
  };
  ConversionJob streams = JobWith("-", "/dev/stdout");
  streams.outputDescriptor = 1;
  streams.wavDescriptor = 1;
  ConversionJob apart = JobWith("-", "a.wav", "/dev/stderr");
  apart.outputDescriptor = 1;
  apart.pianoRollDescriptor = 2;
  const Case cases[] = {
      {JobWith("x.out", "./x.out"), "also named by --wav"},
      {JobWith("x.out", {}, "sub/../x.out"), "also named by --piano-roll"},
      {JobWith("a.mid", "x.out", "./x.out"), "also named by --piano-roll"},
      {JobWith("font.sf2", "font-link"), "also named by --wav"},
      {streams, "also named by --wav"},
      {JobWith("a.mid", "a.wav", "a.png"), ""},
      {apart, ""},
  };
  for (const Case& c : cases) {
    if (Skipped(c.job.wavPath.value_or(""))) continue;
    EXPECT_EQ(OutputsCollide(c.job), c.conflict) << c.job.outputPath;
  }
  EXPECT_TRUE(SameNamedOutput("-", "-"));
  EXPECT_TRUE(SameNamedOutput("x.out", "./x.out"));
  EXPECT_FALSE(SameNamedOutput("-", "x.out"));
}

}  // namespace
}  // namespace pixorale::converter
