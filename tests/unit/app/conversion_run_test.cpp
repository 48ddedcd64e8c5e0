#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <new>

#include "app/song_summary.h"
#include "app/ui_texts.h"
#include "support/bmp_builder.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::ScriptedUi;

// The desktop programs' MIDI file, and what the song held when it was written.
class SummarizedMidiFile final : public SongOutputs {
 public:
  std::vector<OutputReport> Write(Song& song, const std::string& savePath) override {
    summary = Summarize(song);
    return file_.Write(song, savePath);
  }
  SongSummary summary;

 private:
  MidiFileOutput file_;
};

class ConversionRun : public ::testing::Test {
 protected:
  ConversionRun() { state_.settings.InstallDefaults(); }

  std::string Picture(const std::vector<uint8_t>& bytes, const char* name = "in.bmp") {
    test::WriteFileBytes(dir_ / name, bytes);
    return (dir_ / name).string();
  }

  RunReport Run(const std::string& path) {
    FixedBits down(0);
    RunReport report = RunConversion(path, state_, down, bmp_, save_);
    EXPECT_TRUE(state_.song.tracks.empty()) << "the song is emptied after every run";
    EXPECT_EQ(state_.song.trackCount, 0);
    EXPECT_EQ(state_.image.bitCount, 0) << "the image is freed after every run";
    return report;
  }

  test::TempDir dir_;
  ProgramState state_;
  ScriptedUi ui_;
  BmpPictureSource bmp_;
  SummarizedMidiFile midiFile_;
  PromptingSaveStep save_{ui_, midiFile_};
};

TEST_F(ConversionRun, WritesTheChosenFile) {
  const std::string in = Picture(test::MakeMelodyBmp({60, 62}, {8, 8}));
  ui_.saveAnswers.push_back((dir_ / "out.mid").string());
  const RunReport report = Run(in);
  EXPECT_EQ(report.status, RunStatus::kWritten);
  ASSERT_EQ(ui_.prompts.size(), 1u);
  EXPECT_EQ(ui_.prompts[0].kind, "save");
  EXPECT_EQ(ui_.prompts[0].filterName, texts::kMidiFilter.displayName);
  EXPECT_EQ(ui_.prompts[0].filterPattern, "*.mid");
  EXPECT_EQ(ui_.prompts[0].defaultExtension, "mid");
  EXPECT_TRUE(ui_.messages.empty());
  const auto bytes = test::ReadFileBytes(dir_ / "out.mid");
  ASSERT_GE(bytes.size(), 14u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
  EXPECT_EQ(midiFile_.summary.noteCount, 2u);
  EXPECT_EQ(midiFile_.summary.trackCount, 1);
  EXPECT_EQ(midiFile_.summary.quarterMicroseconds, 500'000u) << "read back from the tempo event";
}

TEST_F(ConversionRun, UsesTheSettingsAsTheyAreNow) {
  const std::string in = Picture(test::MakeMelodyBmp({60, 64}, {8, 8}));
  state_.settings.chordMode = 1;
  state_.settings.resolution = 480;
  ui_.saveAnswers.push_back((dir_ / "out.mid").string());
  Run(in);
  EXPECT_EQ(midiFile_.summary.trackCount, 2);
  const auto bytes = test::ReadFileBytes(dir_ / "out.mid");
  EXPECT_EQ(bytes.at(11), 2) << "two tracks announced";
  EXPECT_EQ(bytes.at(12), 0x01);
  EXPECT_EQ(bytes.at(13), 0xE0) << "division 480";
}

TEST_F(ConversionRun, CancelledSaveWritesNothing) {
  const std::string in = Picture(test::MakeMelodyBmp({60}, {0}));
  ui_.saveAnswers.push_back(std::nullopt);
  EXPECT_EQ(Run(in).status, RunStatus::kCancelled);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(ConversionRun, UnreadableFileEndsSilently) {
  EXPECT_EQ(Run((dir_ / "missing.bmp").string()).status, RunStatus::kCannotOpen);
  EXPECT_TRUE(ui_.prompts.empty());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ConversionRun, HeaderClaimingMissingDataEndsSilently) {
  auto bytes = test::MakeMelodyBmp({60, 62}, {8, 8});
  test::PatchLittleEndian(bytes, 18, 0x7FFFFFFF);
  test::PatchLittleEndian(bytes, 22, 0x7FFFFFFF);
  EXPECT_EQ(Run(Picture(bytes)).status, RunStatus::kClaimsTooMuch);
  EXPECT_TRUE(ui_.prompts.empty());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ConversionRun, PictureThatIsNot24BitIsRefusedWithTheMessage) {
  for (uint16_t bits : {1, 8, 16, 32}) {
    test::BmpBuilder bmp;
    bmp.width = 4;
    bmp.height = 4;
    bmp.bitCount = bits;
    ui_.messages.clear();
    const RunReport report = Run(Picture(bmp.Build()));
    EXPECT_EQ(report.status, RunStatus::kNot24Bit);
    EXPECT_EQ(report.bitCount, bits);
    EXPECT_EQ(ui_.messages,
              (std::vector<ScriptedUi::Message>{{std::string(texts::kNot24Bit), "error"}}));
    EXPECT_TRUE(ui_.prompts.empty()) << "no save prompt follows";
  }
}

// Only the command-line converter reads PNG: through the default picture reader a PNG is
// taken as a BMP header, as the desktop program takes it.
TEST_F(ConversionRun, DefaultPictureReaderTakesEveryFileAsABmp) {
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0,    0,    0,
                                    13,   'I', 'H', 'D', 'R',  0,    0,    0,    4,    0,    0,
                                    0,    3,   8,   2,   0,    0,    0,    0x12, 0x34, 0x56, 0x78};
  const RunReport report = Run(Picture(png, "in.png"));
  EXPECT_EQ(report.status, RunStatus::kNot24Bit);
  EXPECT_EQ(report.bitCount, 0x1200);  // the bytes at offset 28: interlace method, checksum
  EXPECT_TRUE(report.picture.ok());
}

TEST_F(ConversionRun, DecoderRefusalEndsTheRunWithItsReasonAndNoMessage) {
  class RefusingSource : public PictureSource {
   public:
    PictureLoad Load(const std::string&, BitmapImage&) const override {
      PictureLoad refused =
          PictureFailure(PictureFormat::kPng, PictureStep::kDecode, "invalid chunk checksum");
      refused.spngError = 5;  // whatever libspng said, carried as it is
      return refused;
    }
  } refusing;
  FixedBits down(0);
  const RunReport report = RunConversion(Picture({1, 2, 3}), state_, down, refusing, save_);
  EXPECT_EQ(report.status, RunStatus::kUndecodable);
  EXPECT_EQ(report.picture.spngError, 5);
  EXPECT_EQ(DescribePictureLoad(report.picture), "PNG: invalid chunk checksum");
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.prompts.empty());
}

// Every output the song goes to is reported in order; a failed one after the MIDI file
// fails the run without the MIDI file's message.
TEST_F(ConversionRun, EachOutputIsReportedAndOnlyAFailedMidiFileShowsItsMessage) {
  struct TwoOutputs : SongOutputs {
    bool midiFails = false;
    std::vector<OutputReport> Write(Song& song, const std::string& savePath) override {
      EXPECT_FALSE(song.tracks.empty()) << "outputs see the converted song";
      OutputReport midi{OutputKind::kMidi, savePath, {}, midiFails ? "cannot" : ""};
      return {midi, {OutputKind::kWav, "x.wav", {}, "the SoundFont is damaged"}};
    }
  } outputs;
  const std::string in = Picture(test::MakeMelodyBmp({60}, {0}));
  for (const bool midiFails : {false, true}) {
    outputs.midiFails = midiFails;
    ui_.messages.clear();
    ui_.saveAnswers.push_back("song.mid");
    FixedBits down(0);
    PromptingSaveStep save(ui_, outputs);
    const RunReport report = RunConversion(in, state_, down, bmp_, save);
    EXPECT_EQ(report.status, RunStatus::kWriteFailed);
    ASSERT_EQ(report.outputs.size(), 2u);
    EXPECT_EQ(report.outputs[1].error, "the SoundFont is damaged");
    EXPECT_EQ(ui_.messages.size(), midiFails ? 1u : 0u);
  }
}

// Running out of memory anywhere in the run fails that run alone and empties the song and
// the image, so the next run starts clean.
TEST_F(ConversionRun, OutOfMemoryFailsTheRunAndLeavesEverythingEmpty) {
  struct ExhaustedOutputs : SongOutputs {
    std::vector<OutputReport> Write(Song&, const std::string&) override { throw std::bad_alloc(); }
  } exhausted;
  const std::string in = Picture(test::MakeMelodyBmp({60, 62}, {8, 8}));
  ui_.saveAnswers.push_back("song.mid");
  FixedBits down(0);
  PromptingSaveStep save(ui_, exhausted);
  const RunReport report = RunConversion(in, state_, down, bmp_, save);
  EXPECT_EQ(report.status, RunStatus::kOutOfMemory);
  EXPECT_TRUE(state_.song.tracks.empty());
  EXPECT_EQ(state_.image.bitCount, 0);
}

TEST_F(ConversionRun, FailedWriteIsReportedAndKeepsTheOldFile) {
  const std::string in = Picture(test::MakeMelodyBmp({60}, {0}));
  ui_.saveAnswers.push_back((dir_ / "missing" / "out.mid").string());
  EXPECT_EQ(Run(in).status, RunStatus::kWriteFailed);
  EXPECT_EQ(ui_.messages,
            (std::vector<ScriptedUi::Message>{{std::string(texts::kCannotSaveMidi), "error"}}));
}

TEST_F(ConversionRun, SecondRunStartsFromAnEmptySong) {
  const std::string in = Picture(test::MakeMelodyBmp({60, 62, 64}, {8, 8, 8}));
  ui_.saveAnswers.push_back(std::nullopt);
  Run(in);
  ui_.saveAnswers.push_back((dir_ / "a.mid").string());
  Run(in);
  ui_.saveAnswers.push_back((dir_ / "b.mid").string());
  Run(in);
  EXPECT_EQ(test::ReadFileBytes(dir_ / "a.mid"), test::ReadFileBytes(dir_ / "b.mid"));
}

}  // namespace
}  // namespace pixorale
