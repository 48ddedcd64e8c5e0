#include "render/wav_render.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
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

WavRenderOptions AtGain(std::optional<double> gainDb) {
  WavRenderOptions options = DefaultFont();
  options.gainDb = gainDb;
  return options;
}

int PeakSample(const std::vector<short>& samples) {
  int peak = 0;
  for (const short s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

double PeakDbfs(const std::vector<short>& samples) {
  return 20.0 * std::log10(PeakSample(samples) / 32768.0);
}

// The constant offset of both channels together, as a part of full scale.
double MeanOfFullScale(const std::vector<short>& samples) {
  double sum = 0.0;
  for (const short s : samples) sum += s;
  return sum / static_cast<double>(samples.size()) / 32768.0;
}

// A melody on the piano, and a sustained low chord on General MIDI program 99 (the chord
// track's default), whose samples carry an offset of their own.
Song PianoMelody() {
  return MakeSong({{60, 0, 100, 0, 480},
                   {64, 0, 70, 480, 960},
                   {67, 0, 127, 960, 1440},
                   {72, 0, 40, 1440, 2400}});
}
Song ChordPad() {
  return MakeSong({{48, 1, 100, 0, 1920}, {52, 1, 100, 0, 1920}, {55, 1, 100, 0, 1920}}, 500000,
                  99);
}

// Sets TMPDIR for the object's lifetime.
class ScopedTemporaryFolder {
 public:
  explicit ScopedTemporaryFolder(const std::filesystem::path& folder) {
    if (const char* previous = std::getenv("TMPDIR")) previous_ = previous;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~ScopedTemporaryFolder() {
    if (previous_) {
      setenv("TMPDIR", previous_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  ScopedTemporaryFolder(const ScopedTemporaryFolder&) = delete;
  ScopedTemporaryFolder& operator=(const ScopedTemporaryFolder&) = delete;

 private:
  std::optional<std::string> previous_;
};

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

TEST_F(WavRender, NormalisedPeakIsMinusOneDbfsWithoutAnOffset) {
  const std::vector<std::pair<const char*, Song>> cases = {{"piano melody", PianoMelody()},
                                                           {"chord pad", ChordPad()}};
  for (const auto& [name, song] : cases) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(RenderWav(song, dir_ / "a.wav", DefaultFont()).ok());
    const ReadWav wav = ReadWithSndfile(dir_ / "a.wav");
    EXPECT_NEAR(PeakDbfs(wav.samples), kWavPeakDbfs, 0.1);
    EXPECT_LT(std::abs(MeanOfFullScale(wav.samples)), 0.001);
  }
}

// Normalised or at a fixed gain, each sample is the one at 0 dB times one factor, give or
// take the rounding of both to 16 bits.
TEST_F(WavRender, GainScalesEverySampleOfTheSynthesizersLevel) {
  const Song song = PianoMelody();
  ASSERT_TRUE(RenderWav(song, dir_ / "0.wav", AtGain(0.0)).ok());
  const std::vector<short> level = ReadWithSndfile(dir_ / "0.wav").samples;
  const int peak = PeakSample(level);
  ASSERT_GT(peak, 1000);
  const double normalising = std::pow(10.0, kWavPeakDbfs / 20.0) * 32767.0 / peak;

  struct Case {
    std::optional<double> gainDb;
    double factor;
    double tolerance;  // the rounding of both; normalised, that of the peak's too
  };
  const Case cases[] = {
      {-6.0, 0.501187, 1.0}, {6.0, 1.995262, 1.5}, {std::nullopt, normalising, 0.5 + normalising}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gainDb ? std::to_string(*c.gainDb) + " dB" : "normalised");
    ASSERT_TRUE(RenderWav(song, dir_ / "g.wav", AtGain(c.gainDb)).ok());
    const std::vector<short> scaled = ReadWithSndfile(dir_ / "g.wav").samples;
    ASSERT_EQ(scaled.size(), level.size());
    size_t outside = 0;
    for (size_t i = 0; i < level.size(); ++i) {
      if (std::abs(scaled[i] - level[i] * c.factor) > c.tolerance) ++outside;
    }
    EXPECT_EQ(outside, 0u);
  }
}

TEST_F(WavRender, GainBeyondFullScaleClipsInsteadOfWrappingAround) {
  const Song song = PianoMelody();
  ASSERT_TRUE(RenderWav(song, dir_ / "0.wav", AtGain(0.0)).ok());
  ASSERT_TRUE(RenderWav(song, dir_ / "24.wav", AtGain(24.0)).ok());
  const std::vector<short> level = ReadWithSndfile(dir_ / "0.wav").samples;
  const std::vector<short> loud = ReadWithSndfile(dir_ / "24.wav").samples;
  ASSERT_EQ(loud.size(), level.size());
  EXPECT_EQ(PeakSample(loud), 32768);
  size_t wrapped = 0;
  for (size_t i = 0; i < level.size(); ++i) {
    if (std::abs(loud[i]) < std::abs(level[i]) || (level[i] > 0 && loud[i] < 0) ||
        (level[i] < 0 && loud[i] > 0)) {
      ++wrapped;
    }
  }
  EXPECT_EQ(wrapped, 0u);
}

TEST_F(WavRender, SilentSongStaysSilentWhenNormalised) {
  ASSERT_TRUE(RenderWav(MakeSong({}), dir_ / "a.wav", DefaultFont()).ok());
  const ReadWav wav = ReadWithSndfile(dir_ / "a.wav");
  EXPECT_EQ(wav.info.frames, static_cast<sf_count_t>(kReleaseTailSeconds * 44100));
  EXPECT_EQ(PeakSample(wav.samples), 0);
}

// A WAV of nothing but zeros says so, normalised or not: the peak before any gain decides.
TEST_F(WavRender, SilenceIsToldApartFromSound) {
  struct Case {
    const char* what;
    Song song;
    std::optional<double> gainDb;
    bool silent;
  };
  const Case cases[] = {
      {"no notes", MakeSong({}), std::nullopt, true},
      {"no notes at a gain", MakeSong({}), 24.0, true},
      {"a melody", PianoMelody(), std::nullopt, false},
      {"a melody at the quietest gain", PianoMelody(), -60.0, false},
  };
  for (const Case& c : cases) {
    const WavRenderResult result = RenderWav(c.song, dir_ / "a.wav", AtGain(c.gainDb));
    ASSERT_TRUE(result.ok()) << c.what << ": " << result.error;
    EXPECT_EQ(result.silent, c.silent) << c.what;
    EXPECT_EQ(PeakSample(ReadWithSndfile(dir_ / "a.wav").samples) == 0, c.silent) << c.what;
  }
}

// The samples waiting for the peak live in a file without a name, so that nothing is left in
// TMPDIR however the program ends (kill -9 included): no name appears there at any moment.
TEST_F(WavRender, SamplesWaitInTmpdirUnderNoName) {
  const test::TempDir folder;
  const ScopedTemporaryFolder tmpdir(folder.path());
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, folder.path().c_str(), IN_CREATE | IN_MOVED_TO), 0);
  const WavRenderResult result = RenderWav(PianoMelody(), dir_ / "a.wav", DefaultFont());
  alignas(inotify_event) char events[4096];
  const ssize_t named = read(watch, events, sizeof events);
  close(watch);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(named, -1) << "a name appeared in TMPDIR";
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(WavRender, TemporaryFolderThatCannotHoldTheSamplesIsAnErrorAndWritesNothing) {
  const ScopedTemporaryFolder missing(dir_ / "missing");
  const WavRenderResult result = RenderWav(PianoMelody(), dir_ / "a.wav", DefaultFont());
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("missing: No such file or directory"), std::string::npos)
      << result.error;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a.wav"));
  // A fixed gain writes the audio as it is rendered and needs no temporary file.
  EXPECT_TRUE(RenderWav(PianoMelody(), dir_ / "a.wav", AtGain(0.0)).ok());
}

TEST_F(WavRender, ProgressRisesToTheWholeRender) {
  for (const std::optional<double> gainDb : {std::optional<double>(), std::optional(0.0)}) {
    SCOPED_TRACE(gainDb ? "fixed gain" : "normalised");
    std::vector<double> shown;
    WavRenderOptions options = AtGain(gainDb);
    options.progress = [&shown](double done) { shown.push_back(done); };
    ASSERT_TRUE(RenderWav(PianoMelody(), dir_ / "a.wav", options).ok());
    ASSERT_GE(shown.size(), 10u);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_GT(shown.front(), 0.0);
    EXPECT_EQ(shown.back(), 1.0);
  }
}

TEST(WavFormat, HeaderCountsTheDataBytes) {
  const auto header = WavHeader(10);
  EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
  EXPECT_EQ(header[4], 36 + 40);  // RIFF size: the rest of the header and the data
  EXPECT_EQ(header[40], 40);      // data size: 10 frames of 4 bytes
}

}  // namespace
}  // namespace pixorale
