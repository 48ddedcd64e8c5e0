#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "render/sample_spill.h"

namespace pixorale {

SampleSpill::SampleSpill() {
  // TMPDIR as it is given: a folder that does not exist is an error worth telling, not a
  // reason to write elsewhere.
  const char* folder = std::getenv("TMPDIR");
  folder_ = folder != nullptr && *folder != '\0' ? folder : "/tmp";
  // Unnamed from the start where the file system allows, so that not even kill -9 can leave
  // it behind; elsewhere named for the instant between making and removing it.
  int descriptor = open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor < 0) {
    std::string name = (std::filesystem::path(folder_) / "pixorale-samples-XXXXXX").string();
    descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) {
      Fail("make");
      return;
    }
    unlink(name.c_str());
  }
  file_.reset(fdopen(descriptor, "w+b"));
  if (!file_) {
    Fail("open");
    close(descriptor);
  }
}

bool SampleSpill::Fail(const char* step) {
  if (error_.empty()) {
    error_ = std::string("cannot ") + step + " a temporary file of samples in " + folder_ + ": " +
             std::generic_category().message(errno);
  }
  return false;
}

bool SampleSpill::Append(const float* samples, size_t count) {
  if (!file_ || !error_.empty()) return false;
  if (std::fwrite(samples, sizeof(float), count, file_.get()) != count) return Fail("write");
  return true;
}

bool SampleSpill::Rewind() {
  if (!file_ || !error_.empty()) return false;
  // The flush shows a delayed write error (a full disk) before anything is read.
  if (std::fflush(file_.get()) != 0) return Fail("write");
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return Fail("read");
  return true;
}

size_t SampleSpill::Read(float* samples, size_t count) {
  if (!file_ || !error_.empty()) return 0;
  const size_t read = std::fread(samples, sizeof(float), count, file_.get());
  if (read != count && std::ferror(file_.get()) != 0) Fail("read");
  return read;
}

}  // namespace pixorale
