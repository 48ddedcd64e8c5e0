// The converter's renders through the module loaded on demand. The program links neither
// FluidSynth nor Cairo: they must appear only once a render is asked for.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "render/piano_roll.h"
#include "render/wav_render.h"
#include "render_test_songs.h"

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
  const Song song = MakeSong({{60, 0, 100, 0, 960}});
  std::ostringstream png;
  const RenderResult drawn = DrawPianoRoll(song, png);
  ASSERT_TRUE(drawn.ok()) << drawn.error;
  EXPECT_EQ(png.str().substr(1, 3), "PNG");
  EXPECT_TRUE(Loaded("libcairo"));
  EXPECT_TRUE(Loaded("libfluidsynth"));

  const auto soundFont = FindDefaultSoundFont();
  ASSERT_TRUE(soundFont) << "fluid-soundfont-gm is not installed";
  WavRenderOptions options;
  options.soundFontPath = *soundFont;
  std::ostringstream wav;
  const WavRenderResult rendered = RenderSongToWav(song, wav, options);
  ASSERT_TRUE(rendered.ok()) << rendered.error;
  EXPECT_EQ(wav.str().substr(0, 4), "RIFF");
  EXPECT_DOUBLE_EQ(rendered.seconds, 1.0 + kReleaseTailSeconds);
}

}  // namespace
}  // namespace pixorale
