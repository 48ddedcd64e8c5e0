#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "io/atomic_file.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

// A process that holds a lock on the file, as a live writer does, until the object goes.
class LiveWriter {
 public:
  explicit LiveWriter(const fs::path& path) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(release_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(release_[1]);  // so that the parent closing its end releases the child
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
      const bool locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(fd, "x", 1) == 1;
      char signal = locked ? 1 : 0;
      (void)!::write(ready[1], &signal, 1);
      (void)!::read(release_[0], &signal, 1);
      ::_exit(0);
    }
    char signal = 0;
    (void)!::read(ready[0], &signal, 1);
    locked_ = signal == 1;
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~LiveWriter() {
    ::close(release_[1]);
    ::close(release_[0]);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  LiveWriter(const LiveWriter&) = delete;
  LiveWriter& operator=(const LiveWriter&) = delete;
  bool locked() const { return locked_; }

 private:
  int release_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool locked_ = false;
};

// What a writer killed outright (kill -9 between naming its file and renaming it, or on a
// file system without unnamed files) leaves is removed by the next write into that folder;
// what a live writer holds, or what is not ours, stays.
TEST(StaleTemporaries, TheNextWriteRemovesThoseNoLiveProcessLocks) {
  TempDir dir;
  WriteFileBytes(dir / ".pixorale-k3J9xQ", {'h', 'a', 'l', 'f'});
  WriteFileBytes(dir / ".pixorale-notes", {'n'});       // not a temporary's name
  WriteFileBytes(dir / ".pixorale-A1b2C3.txt", {'n'});  // nor this
  WriteFileBytes(dir / ".pixorale-fresh0", {});         // just made: its writer locks it next
  const LiveWriter live(dir / ".pixorale-live01");
  ASSERT_TRUE(live.locked());

  ASSERT_TRUE(WriteFileAtomically((dir / "f.bin").string(), [](std::ostream& out) {
    out << "new";
    return true;
  }));
  EXPECT_EQ(Entries(dir.path()),
            (std::set<std::string>{".pixorale-A1b2C3.txt", ".pixorale-fresh0", ".pixorale-live01",
                                   ".pixorale-notes", "f.bin"}));
}

// A stale empty temporary goes too once it is old enough that no writer can be about to lock it.
TEST(StaleTemporaries, AnOldEmptyOneIsRemovedToo) {
  TempDir dir;
  WriteFileBytes(dir / ".pixorale-empty0", {});
  fs::last_write_time(dir / ".pixorale-empty0",
                      fs::file_time_type::clock::now() - std::chrono::minutes(5));
  ASSERT_TRUE(WriteFileAtomically((dir / "f.bin").string(), [](std::ostream& out) {
    out << "new";
    return true;
  }));
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

}  // namespace
}  // namespace pixorale
