// The reference for the PNG benchmark: a full decode of the picture by libspng into one
// RGB buffer, as a program that keeps the whole picture would do it.
//   spng_full_decode FILE.png
#include <spng.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: spng_full_decode FILE.png\n");
    return 2;
  }
  FILE* file = std::fopen(argv[1], "rb");
  if (file == nullptr) return 1;
  spng_ctx* png = spng_ctx_new(0);
  spng_set_png_file(png, file);
  size_t size = 0;
  int status = spng_decoded_image_size(png, SPNG_FMT_RGB8, &size);
  std::vector<unsigned char> pixels(size);
  if (status == 0) status = spng_decode_image(png, pixels.data(), size, SPNG_FMT_RGB8, 0);
  spng_ctx_free(png);
  std::fclose(file);
  if (status != 0) std::fprintf(stderr, "%s\n", spng_strerror(status));
  return status == 0 ? 0 : 1;
}
