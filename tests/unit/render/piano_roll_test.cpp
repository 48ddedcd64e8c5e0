#include "render/piano_roll.h"

#include <gtest/gtest.h>
#include <spng.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render_test_songs.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::MakeSong;

// The picture as libspng reads it, four bytes a pixel.
struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;

  std::array<int, 3> At(double x, double y) const {
    const size_t at = (static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 4;
    return {rgba[at], rgba[at + 1], rgba[at + 2]};
  }
};

Picture ReadPng(const std::filesystem::path& path) {
  Picture picture;
  const std::vector<uint8_t> bytes = test::ReadFileBytes(path);
  spng_ctx* png = spng_ctx_new(0);
  spng_set_png_buffer(png, bytes.data(), bytes.size());
  spng_ihdr header{};
  size_t size = 0;
  if (spng_get_ihdr(png, &header) == 0 &&
      spng_decoded_image_size(png, SPNG_FMT_RGBA8, &size) == 0) {
    picture.width = header.width;
    picture.height = header.height;
    picture.rgba.resize(size);
    spng_decode_image(png, picture.rgba.data(), size, SPNG_FMT_RGBA8, 0);
  }
  spng_ctx_free(png);
  return picture;
}

RenderResult DrawRoll(const Song& song, const std::filesystem::path& path,
                      const WriteOptions& options = {}) {
  return test::RenderToFile(
      path, [&](std::ostream& out) { return DrawPianoRoll(song, out); }, options);
}

bool Near(const std::array<int, 3>& pixel, const std::array<int, 3>& colour) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(pixel[i] - colour[i]) > 3) return false;
  }
  return true;
}

constexpr std::array<int, 3> kMelodyColour = {38, 97, 217};
constexpr std::array<int, 3> kChordColour = {237, 128, 26};

// The middle of a note's bar.
double MidX(const PianoRollLayout& layout, double from, double to) {
  return layout.X((from + to) / 2);
}
double MidY(const PianoRollLayout& layout, int pitch) {
  return layout.Y(pitch) + 1;
}

TEST(PianoRoll, NotesAreBarsWhereTheySoundInTheirTracksColour) {
  // 120 beats per minute: 480 ticks are half a second. Melody 60 from 0 s to 1 s and 72 from
  // 2 s to 3 s; a chord note 48 from 1 s to 4 s.
  const Song song =
      MakeSong({{60, 0, 100, 0, 960}, {72, 0, 100, 1920, 2880}, {48, 1, 100, 960, 3840}});
  test::TempDir dir;
  ASSERT_TRUE(DrawRoll(song, dir / "roll.png").ok());
  const Picture picture = ReadPng(dir / "roll.png");
  const PianoRollLayout layout = PianoRollLayoutFor(4.0, {48, 72});
  ASSERT_EQ(picture.width, static_cast<uint32_t>(layout.width));
  ASSERT_EQ(picture.height, static_cast<uint32_t>(layout.height));

  EXPECT_TRUE(Near(picture.At(MidX(layout, 0, 1), MidY(layout, 60)), kMelodyColour));
  EXPECT_TRUE(Near(picture.At(MidX(layout, 2, 3), MidY(layout, 72)), kMelodyColour));
  EXPECT_TRUE(Near(picture.At(MidX(layout, 1, 4), MidY(layout, 48)), kChordColour));
  // Where nothing sounds: pitch 60 after its note-off, pitch 72 before its note-on.
  EXPECT_FALSE(Near(picture.At(MidX(layout, 1, 2), MidY(layout, 60)), kMelodyColour));
  EXPECT_FALSE(Near(picture.At(MidX(layout, 0, 2), MidY(layout, 72)), kMelodyColour));
  // The neighbouring pitch's row stays clear.
  EXPECT_FALSE(Near(picture.At(MidX(layout, 0, 1), MidY(layout, 61)), kMelodyColour));
  // Where nothing sounds, a black key's row is darker than a white key's.
  EXPECT_LT(picture.At(MidX(layout, 3, 4), MidY(layout, 61))[0],
            picture.At(MidX(layout, 3, 4), MidY(layout, 62))[0]);
}

// The rows shown and the Cs named, by the pitches the song uses.
TEST(PianoRoll, RowsAreTheSongsPitchesWithAMarginAndEveryCIsNamed) {
  struct Case {
    const char* song;
    PitchSpan used;
    int lowPitch, highPitch, rowHeight;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      // An octave at least, around the one pitch; few rows, so tall ones.
      {"one pitch", {60, 60}, 54, 66, 12, {"C4"}},
      {"no notes: the octave above middle C", {}, 57, 75, 12, {"C4", "C5"}},
      {"three octaves", {48, 84}, 45, 87, 8, {"C3", "C4", "C5", "C6"}},
      // Rows that would fall outside the MIDI range go to the other side.
      {"the lowest pitch", {0, 0}, 0, 12, 12, {"C-1", "C0"}},
      {"the highest pitch", {127, 127}, 115, 127, 12, {"C9"}},
      {"the whole range",
       {0, 127},
       0,
       127,
       4,
       {"C-1", "C0", "C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.song);
    const PianoRollLayout layout = PianoRollLayoutFor(10.0, c.used);
    EXPECT_EQ(layout.lowPitch, c.lowPitch);
    EXPECT_EQ(layout.highPitch, c.highPitch);
    EXPECT_EQ(layout.rowHeight, c.rowHeight);
    EXPECT_LE(layout.Bottom(), layout.height);
    EXPECT_GE(layout.Y(layout.highPitch), 0);
    std::vector<std::string> labels;
    for (const PianoRollLabel& label : PianoRollLabels(layout)) {
      EXPECT_EQ(label.pitch % 12, 0) << label.text;
      labels.push_back(label.text);
    }
    EXPECT_EQ(labels, c.labels);
  }
}

// The name of each C stands in the left margin beside its row, and nothing beside the rows
// between.
TEST(PianoRoll, LabelsAreDrawnBesideTheirRows) {
  const Song song = MakeSong({{48, 0, 100, 0, 480}, {84, 0, 100, 480, 960}});
  test::TempDir dir;
  ASSERT_TRUE(DrawRoll(song, dir / "roll.png").ok());
  const Picture picture = ReadPng(dir / "roll.png");
  const PianoRollLayout layout = PianoRollLayoutFor(1.0, {48, 84});
  const auto inkBeside = [&](int pitch) {
    int ink = 0;
    for (int y = 0; y < layout.rowHeight; ++y) {
      for (int x = 0; x < static_cast<int>(layout.left) - 6; ++x) {
        ink += picture.At(x, layout.Y(pitch) + y)[0] < 160 ? 1 : 0;
      }
    }
    return ink;
  };
  for (int c : {48, 60, 72, 84}) EXPECT_GT(inkBeside(c), 5) << "C at " << c;
  for (int f : {53, 65, 77}) EXPECT_EQ(inkBeside(f), 0) << "F at " << f;
}

TEST(PianoRoll, WidthFollowsTheLengthUpToACap) {
  const PianoRollLayout tenSeconds = PianoRollLayoutFor(10.0, {60, 60});
  const PianoRollLayout twentySeconds = PianoRollLayoutFor(20.0, {60, 60});
  EXPECT_NEAR(twentySeconds.X(20.0) - twentySeconds.X(0.0),
              2 * (tenSeconds.X(10.0) - tenSeconds.X(0.0)), 1.0);
  const PianoRollLayout hour = PianoRollLayoutFor(3600.0, {60, 60});
  EXPECT_LE(hour.width, 4000);
  EXPECT_LE(hour.X(3600.0), hour.right);
  const PianoRollLayout empty = PianoRollLayoutFor(0.0, {});
  EXPECT_GT(empty.right, empty.left);
}

TEST(PianoRoll, ExistingFileIsKeptWhenAskedTo) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "roll.png", {1, 2, 3});
  const RenderResult drawn = DrawRoll(MakeSong({{60, 0, 100, 0, 480}}), dir / "roll.png",
                                      {.existing = ExistingFile::kKeep});
  EXPECT_EQ(drawn.io.failedStep, IoStep::kExists);
  EXPECT_EQ(test::ReadFileBytes(dir / "roll.png"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(PianoRoll, UnwritablePathIsAnErrorLine) {
  test::TempDir dir;
  const RenderResult drawn =
      DrawRoll(MakeSong({{60, 0, 100, 0, 480}}), dir / "missing" / "roll.png");
  EXPECT_FALSE(drawn.ok());
  EXPECT_EQ(drawn.error.find('\n'), std::string::npos);
  EXPECT_FALSE(drawn.io.ok());
}

}  // namespace
}  // namespace pixorale
