// Cost of each stage of a conversion against the picture's width: load, melody, chords and
// the file write. Pictures are two rows high, as only row 0 and the middle row are read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "convert/chords.h"
#include "convert/melody.h"
#include "convert/os_random_bits.h"
#include "midi/smf_writer.h"

namespace pixorale {
namespace {

// A 24-bit BMP of `width` by 2 pixels with varied reds and blues, in a temporary file that
// lives as long as the object.
class BenchPicture {
 public:
  explicit BenchPicture(uint32_t width) {
    char name[] = "/tmp/pixorale-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path_ = name;
    const uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> bytes(54 + 2 * size_t{stride});
    auto put = [&bytes](size_t at, uint32_t value, int size) {
      for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, 2, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    uint32_t state = 12345;
    for (size_t i = 54; i < bytes.size(); ++i) {
      state = state * 1103515245u + 12345u;
      bytes[i] = static_cast<uint8_t>(state >> 16);
    }
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~BenchPicture() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

ConversionParameters DefaultParameters(uint8_t chordMode) {
  ConversionParameters params;
  params.resolution = 768;
  params.sustainQuarters = 2.0;
  params.tempo = 120;
  params.chordMode = chordMode;
  return params;
}

void BM_LoadBmp(benchmark::State& state) {
  BenchPicture picture(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {
    BitmapImage image;
    benchmark::DoNotOptimize(image.LoadBitmapFile(picture.path()));
    benchmark::DoNotOptimize(image.Row24(1)[0]);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Melody(benchmark::State& state) {
  BenchPicture picture(static_cast<uint32_t>(state.range(0)));
  BitmapImage image;
  image.LoadBitmapFile(picture.path());
  OsRandomBits bits;
  Song song;
  for (auto _ : state) {
    ConvertImageToSong(song, image, DefaultParameters(0), bits);
    benchmark::DoNotOptimize(song.tracks.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Chords(benchmark::State& state) {
  BenchPicture picture(static_cast<uint32_t>(state.range(0)));
  BitmapImage image;
  image.LoadBitmapFile(picture.path());
  OsRandomBits bits;
  Song melody;
  ConvertImageToSong(melody, image, DefaultParameters(0), bits);
  for (auto _ : state) {
    state.PauseTiming();
    Song song = melody;
    state.ResumeTiming();
    BuildChordTrack(song, 768);
    benchmark::DoNotOptimize(song);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteFile(benchmark::State& state) {
  BenchPicture picture(static_cast<uint32_t>(state.range(0)));
  BitmapImage image;
  image.LoadBitmapFile(picture.path());
  OsRandomBits bits;
  Song song;
  ConvertImageToSong(song, image, DefaultParameters(1), bits);
  const std::string out = picture.path() + ".mid";
  for (auto _ : state) benchmark::DoNotOptimize(WriteSongFile(song, out));
  std::remove(out.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_EndToEnd(benchmark::State& state) {
  BenchPicture picture(static_cast<uint32_t>(state.range(0)));
  const std::string out = picture.path() + ".mid";
  OsRandomBits bits;
  for (auto _ : state) {
    BitmapImage image;
    Song song;
    image.LoadBitmapFile(picture.path());
    ConvertImageToSong(song, image, DefaultParameters(0), bits);
    benchmark::DoNotOptimize(WriteSongFile(song, out));
  }
  std::remove(out.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int64_t kSmall = 10'000;
constexpr int64_t kLarge = 1'000'000;

BENCHMARK(BM_LoadBmp)->RangeMultiplier(10)->Range(kSmall, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Melody)->RangeMultiplier(10)->Range(kSmall, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chords)->RangeMultiplier(10)->Range(kSmall, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFile)->RangeMultiplier(10)->Range(kSmall, kLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndToEnd)->RangeMultiplier(10)->Range(kSmall, kLarge)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pixorale
