// The converter's renders through the module loaded on demand. The program links neither
// FluidSynth nor Cairo: they must appear only once a render is asked for.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "render/piano_roll.h"
#include "render/wav_render.h"
#include "render_test_songs.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::MakeSong;

bool Loaded(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(library) != std::string::npos) return true;
  }
  return false;
}

TEST(RenderOnDemand, LoadsTheRenderLibrariesOnlyWhenARenderIsAskedFor) {
  EXPECT_FALSE(Loaded("libfluidsynth"));
  EXPECT_FALSE(Loaded("libcairo"));
  test::TempDir dir;
  const Song song = MakeSong({{60, 0, 100, 0, 960}});
  const RenderResult drawn = DrawPianoRoll(song, (dir / "roll.png").string());
  ASSERT_TRUE(drawn.ok()) << drawn.error;
  EXPECT_TRUE(Loaded("libcairo"));
  EXPECT_TRUE(Loaded("libfluidsynth"));

  const auto soundFont = FindDefaultSoundFont();
  ASSERT_TRUE(soundFont) << "fluid-soundfont-gm is not installed";
  WavRenderOptions options;
  options.soundFontPath = *soundFont;
  const WavRenderResult rendered = RenderSongToWav(song, (dir / "a.wav").string(), options);
  ASSERT_TRUE(rendered.ok()) << rendered.error;
  EXPECT_DOUBLE_EQ(rendered.seconds, 1.0 + kReleaseTailSeconds);
}

// The write options reach the module, and its file result comes back as it was.
TEST(RenderOnDemand, AnExistingFileIsKeptWhenAskedTo) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "roll.png", {1, 2, 3});
  const RenderResult drawn =
      DrawPianoRoll(MakeSong({{60, 0, 100, 0, 480}}), (dir / "roll.png").string(),
                    {.existing = ExistingFile::kKeep});
  EXPECT_EQ(drawn.io.failedStep, IoStep::kExists);
  EXPECT_EQ(test::ReadFileBytes(dir / "roll.png"), (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace pixorale
