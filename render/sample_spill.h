#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace pixorale {

// Samples kept on disk rather than in memory, so that a render can look at all of a song's
// audio before it writes any of it while holding only a block at a time: a temporary file in
// the folder TMPDIR names (/tmp without it), without a name where the file system allows and
// otherwise removed from the folder as soon as it is made, so that nothing is left behind
// however the program ends.
class SampleSpill {
 public:
  SampleSpill();

  // Empty while every step has worked; otherwise what failed, in one line.
  const std::string& error() const { return error_; }

  bool Append(const float* samples, size_t count);
  // Back to the first sample, to read them all in the order appended.
  bool Rewind();
  // Reads up to `count` samples; fewer only at the end (or on a read error, see error()).
  size_t Read(float* samples, size_t count);

 private:
  bool Fail(const char* step);

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string folder_;
  std::string error_;
};

}  // namespace pixorale
