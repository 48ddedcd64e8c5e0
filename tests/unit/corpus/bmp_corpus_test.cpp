#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/song_summary.h"
#include "app/ui_texts.h"
#include "corpus_paths.h"
#include "midi/smf_writer.h"
#include "support/scripted_ui.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// One line of the manifest: a file and what a run with the default settings makes of it.
struct CorpusCase {
  std::string file;
  std::string outcome;  // converted, not-24-bit or claims-too-much
  unsigned number = 0;  // the bit count read (not-24-bit) or the melody notes (converted)
  std::string sameAs;   // a file whose MIDI file must be the same, or "-"
  std::string what;
};

void PrintTo(const CorpusCase& c, std::ostream* out) {
  *out << c.file;
}

std::vector<CorpusCase> ReadManifest() {
  std::vector<CorpusCase> cases;
  std::ifstream in(fs::path(PIXORALE_BMP_CORPUS_DIR) / "manifest.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    CorpusCase c;
    std::string number;
    std::getline(fields, c.file, '\t');
    std::getline(fields, c.outcome, '\t');
    std::getline(fields, number, '\t');
    std::getline(fields, c.sameAs, '\t');
    std::getline(fields, c.what);
    c.number = static_cast<unsigned>(std::stoul(number));
    cases.push_back(c);
  }
  return cases;
}

// Keeps the song's bytes instead of writing a file.
class MemoryOutputs : public SongOutputs {
 public:
  std::vector<OutputReport> Write(Song& song, const std::string& savePath) override {
    std::ostringstream out;
    OutputReport report{OutputKind::kMidi, savePath, {}, WriteSong(song, out) ? "" : "failed"};
    saved.push_back(out.str());
    noteCounts.push_back(Summarize(song).noteCount);
    return {report};
  }
  std::vector<std::string> saved;
  std::vector<uint64_t> noteCounts;
};

struct RunResult {
  RunReport report;
  test::ScriptedUi ui;
  MemoryOutputs outputs;
};

void Convert(const std::string& file, RunResult& result) {
  ProgramState state;
  state.settings.InstallDefaults();
  result.ui.saveAnswers.push_back("out.mid");
  FixedBits down(0);
  PromptingSaveStep save(result.ui, result.outputs);
  result.report = RunConversion((fs::path(PIXORALE_BMP_CORPUS_DIR) / file).string(), state, down,
                                BmpPictureSource(), save);
  EXPECT_TRUE(state.song.tracks.empty()) << "the song is emptied after every run";
  EXPECT_EQ(state.image.bitCount, 0) << "the image is freed after every run";
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

class BmpCorpus : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(BmpCorpus, RunEndsWithTheDefinedOutcome) {
  const CorpusCase& c = GetParam();
  SCOPED_TRACE(c.file + ": " + c.what);
  RunResult run;
  Convert(c.file, run);
  const RunReport& report = run.report;
  if (c.outcome == "converted") {
    EXPECT_EQ(report.status, RunStatus::kWritten);
    EXPECT_EQ(report.bitCount, 24);
    EXPECT_TRUE(run.ui.messages.empty());
    ASSERT_EQ(run.outputs.saved.size(), 1u);
    EXPECT_EQ(run.outputs.noteCounts[0], c.number);
    // One track with the default division 768; its chunk runs to the end of the file.
    const std::string& midi = run.outputs.saved[0];
    ASSERT_GE(midi.size(), 26u);
    EXPECT_EQ(midi.substr(0, 14), std::string("MThd\0\0\0\6\0\1\0\1\3\0", 14));
    EXPECT_EQ(midi.substr(14, 4), "MTrk");
    EXPECT_EQ(BigEndian32(midi, 18), midi.size() - 22);
    EXPECT_EQ(midi.substr(midi.size() - 4), std::string("\0\xFF\x2F\0", 4));
  } else if (c.outcome == "not-24-bit") {
    EXPECT_EQ(report.status, RunStatus::kNot24Bit);
    EXPECT_EQ(report.bitCount, c.number);
    EXPECT_EQ(run.ui.messages,
              (std::vector<test::ScriptedUi::Message>{
                  {std::string(texts::kNot24Bit), std::string(texts::kErrorCaption)}}));
    EXPECT_TRUE(run.ui.prompts.empty());
    EXPECT_TRUE(run.outputs.saved.empty());
  } else {
    ASSERT_EQ(c.outcome, "claims-too-much");
    EXPECT_EQ(report.status, RunStatus::kClaimsTooMuch);
    EXPECT_TRUE(run.ui.messages.empty()) << "refused without a message";
    EXPECT_TRUE(run.ui.prompts.empty());
    EXPECT_TRUE(run.outputs.saved.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpCorpus, ::testing::ValuesIn(ReadManifest()),
                         [](const ::testing::TestParamInfo<CorpusCase>& info) {
                           std::string name = info.param.file.substr(0, info.param.file.size() - 4);
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(BmpCorpusFields, ThatAreNotLookedAtLeaveTheMidiFileAsItWas) {
  std::map<std::string, std::string> midiOf;
  const auto midi = [&midiOf](const std::string& file) {
    if (!midiOf.contains(file)) {
      RunResult run;
      Convert(file, run);
      midiOf[file] = run.outputs.saved.empty() ? "" : run.outputs.saved[0];
    }
    return midiOf[file];
  };
  int pairs = 0;
  for (const CorpusCase& c : ReadManifest()) {
    if (c.sameAs == "-") continue;
    ++pairs;
    const std::string mine = midi(c.file);
    EXPECT_FALSE(mine.empty()) << c.file;
    EXPECT_EQ(mine, midi(c.sameAs)) << c.file << " (" << c.what << ") against " << c.sameAs;
  }
  EXPECT_GT(pairs, 0);
  EXPECT_NE(midi("well-formed-4x3.bmp"), midi("cut-at-54.bmp")) << "the pixels do count";
}

TEST(BmpCorpusFields, ManifestListsEveryFileOnce) {
  std::set<std::string> listed;
  for (const CorpusCase& c : ReadManifest()) {
    EXPECT_TRUE(listed.insert(c.file).second) << c.file << " listed twice";
  }
  std::set<std::string> present;
  for (const auto& entry : fs::directory_iterator(PIXORALE_BMP_CORPUS_DIR)) {
    if (entry.path().extension() == ".bmp") present.insert(entry.path().filename().string());
  }
  EXPECT_EQ(listed, present);
}

}  // namespace
}  // namespace pixorale
