#include "render/wav_render.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "render/wav_format.h"
#include "render_test_songs.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::MakeSong;

// The WAV as libsndfile reads it: format and frames, both channels interleaved.
struct ReadWav {
  SF_INFO info{};
  std::vector<short> samples;
};

ReadWav ReadWithSndfile(const std::filesystem::path& path) {
  ReadWav wav;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
  if (file == nullptr) return wav;
  wav.samples.resize(static_cast<size_t>(wav.info.frames * wav.info.channels));
  sf_readf_short(file, wav.samples.data(), wav.info.frames);
  sf_close(file);
  return wav;
}

// Root mean square of both channels between two times.
double Loudness(const ReadWav& wav, double from, double to) {
  const auto first = static_cast<size_t>(from * wav.info.samplerate) * 2;
  const auto last = static_cast<size_t>(to * wav.info.samplerate) * 2;
  double sum = 0.0;
  for (size_t i = first; i < last && i < wav.samples.size(); ++i) {
    const double s = wav.samples[i];
    sum += s * s;
  }
  return std::sqrt(sum / static_cast<double>(last - first));
}

WavRenderResult RenderWav(const Song& song, const std::filesystem::path& path,
                          const WavRenderOptions& options) {
  return test::RenderToFile(path,
                            [&](std::ostream& out) { return RenderSongToWav(song, out, options); });
}

WavRenderOptions DefaultFont() {
  WavRenderOptions options;
  options.soundFontPath = FindDefaultSoundFont().value_or("");
  return options;
}

class WavRender : public testing::Test {
 protected:
  void SetUp() override {
    if (!FindDefaultSoundFont()) GTEST_FAIL() << "fluid-soundfont-gm is not installed";
  }
  test::TempDir dir_;
};

TEST_F(WavRender, FileHasTheSongsLengthPlusTheTailAtCdRateInStereo) {
  // A note from 1 s to 2 s at 120 beats per minute.
  const Song song = MakeSong({{69, 0, 100, 960, 1920}});
  const WavRenderResult result = RenderWav(song, dir_ / "a.wav", DefaultFont());
  ASSERT_TRUE(result.ok()) << result.error;

  const ReadWav wav = ReadWithSndfile(dir_ / "a.wav");
  EXPECT_EQ(wav.info.samplerate, 44100);
  EXPECT_EQ(wav.info.channels, 2);
  EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(wav.info.frames, static_cast<sf_count_t>((2.0 + kReleaseTailSeconds) * 44100));
  EXPECT_DOUBLE_EQ(result.seconds, 2.0 + kReleaseTailSeconds);
}

TEST_F(WavRender, SoundStartsAtTheFirstNoteOn) {
  const Song song = MakeSong({{69, 0, 100, 960, 1920}});
  ASSERT_TRUE(RenderWav(song, dir_ / "a.wav", DefaultFont()).ok());
  const ReadWav wav = ReadWithSndfile(dir_ / "a.wav");
  EXPECT_EQ(Loudness(wav, 0.0, 0.95), 0.0);
  EXPECT_GT(Loudness(wav, 1.05, 1.9), 100.0);
}

TEST_F(WavRender, SameSongGivesTheSameBytes) {
  const Song song = MakeSong({{60, 0, 100, 0, 480}, {64, 1, 70, 240, 960}, {67, 0, 127, 480, 600}});
  ASSERT_TRUE(RenderWav(song, dir_ / "a.wav", DefaultFont()).ok());
  ASSERT_TRUE(RenderWav(song, dir_ / "b.wav", DefaultFont()).ok());
  EXPECT_EQ(test::ReadFileBytes(dir_ / "a.wav"), test::ReadFileBytes(dir_ / "b.wav"));
}

TEST_F(WavRender, MissingSoundFontIsAnErrorAndWritesNothing) {
  WavRenderOptions options;
  options.soundFontPath = (dir_ / "none.sf2").string();
  const WavRenderResult result =
      RenderWav(MakeSong({{60, 0, 100, 0, 480}}), dir_ / "a.wav", options);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("none.sf2"), std::string::npos) << result.error;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.wav"));
}

TEST_F(WavRender, SongTooLongForAWavFileIsRefusedBeforeRendering) {
  // One quarter note of 16.7 s, 2000 of them: over nine hours.
  const Song song = MakeSong({{60, 0, 100, 0, 480 * 2000}}, 0xFFFFFF);
  const WavRenderResult result = RenderWav(song, dir_ / "a.wav", DefaultFont());
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("longer than a WAV file can hold"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.wav"));
}

TEST_F(WavRender, FullDiskIsToldAsAWriteError) {
  const WavRenderResult result =
      RenderWav(MakeSong({{60, 0, 100, 0, 480}}), "/dev/full", DefaultFont());
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("No space left on device"), std::string::npos) << result.error;
}

TEST_F(WavRender, FailingStreamStopsTheRenderAsAWriteError) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  const WavRenderResult result =
      RenderSongToWav(MakeSong({{60, 0, 100, 0, 480}}), out, DefaultFont());
  EXPECT_EQ(result.io.failedStep, IoStep::kWrite);
  EXPECT_FALSE(result.ok());
}

TEST(WavFormat, HeaderCountsTheDataBytes) {
  const auto header = WavHeader(10);
  EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
  EXPECT_EQ(header[4], 36 + 40);  // RIFF size: the rest of the header and the data
  EXPECT_EQ(header[40], 40);      // data size: 10 frames of 4 bytes
}

}  // namespace
}  // namespace pixorale
