#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "support/temp_dir.h"

// Runs before every rename this program makes, with the name being renamed: the moment a
// sweep by another run could strike between a writer's last step and its file's new name.
std::function<void(const char*)> beforeRename;

extern "C" int rename(const char* from, const char* to) noexcept {
  if (beforeRename) beforeRename(from);
  static const auto next =
      reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
  return next(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) noexcept {
  if (beforeRename) beforeRename(from);
  static const auto next = reinterpret_cast<int (*)(int, const char*, int, const char*, unsigned)>(
      ::dlsym(RTLD_NEXT, "renameat2"));
  return next(fromFolder, from, toFolder, to, flags);
}

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
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
  WriteFileBytes(dir / ".pixorale-tmp-k3J9xQa1B2c3D4e5", {'h', 'a', 'l', 'f'});
  WriteFileBytes(dir / ".pixorale-notes", {'n'});              // not a temporary's name
  WriteFileBytes(dir / ".pixorale-A1b2C3.txt", {'n'});         // nor this
  WriteFileBytes(dir / ".pixorale-tmp-fresh0123456789a", {});  // its writer locks it next
  const LiveWriter live(dir / ".pixorale-tmp-live0123456789ab");
  ASSERT_TRUE(live.locked());

  ASSERT_TRUE(WriteFileAtomically((dir / "f.bin").string(), [](std::ostream& out) {
    out << "new";
    return true;
  }));
  EXPECT_EQ(Entries(dir.path()),
            (std::set<std::string>{".pixorale-A1b2C3.txt", ".pixorale-tmp-fresh0123456789a",
                                   ".pixorale-tmp-live0123456789ab", ".pixorale-notes", "f.bin"}));
}

// A hidden file of the user's own whose name merely resembles a temporary's is never taken
// for one, however stale it looks: only the names the program itself makes are.
TEST(StaleTemporaries, FilesNamedLikeTemporariesByTheirUserStay) {
  TempDir dir;
  const std::set<std::string> users = {".pixorale-backup",
                                       ".pixorale-preset",
                                       ".pixorale-k3J9xQ",
                                       ".pixorale-tmp-notes",
                                       ".pixorale-tmp-k3J9xQa1B2c3D4e",
                                       ".pixorale-tmp-k3J9xQa1B2c3D4e5f"};
  for (const std::string& name : users) {
    WriteFileBytes(dir / name, {'m', 'i', 'n', 'e'});
    fs::last_write_time(dir / name, fs::file_time_type::clock::now() - std::chrono::hours(24));
  }
  ASSERT_TRUE(WriteFileAtomically((dir / "f.bin").string(), [](std::ostream& out) {
    out << "new";
    return true;
  }));
  std::set<std::string> expected = users;
  expected.insert("f.bin");
  EXPECT_EQ(Entries(dir.path()), expected);
}

// Hides /proc from this process, as a system without it (or a container masking it) does:
// an unnamed file is linked to its name through /proc, so without it every temporary has a
// hidden name all the while it is written, as on vfat, exFAT, NFS and CIFS. Needs the right
// to mount in a namespace of the process's own.
class HiddenProc {
 public:
  HiddenProc()
      : hidden_(::unshare(CLONE_NEWNS) == 0 &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0) {}
  ~HiddenProc() {
    if (hidden_) ::umount2("/proc", MNT_DETACH);
  }
  HiddenProc(const HiddenProc&) = delete;
  HiddenProc& operator=(const HiddenProc&) = delete;
  explicit operator bool() const { return hidden_; }

 private:
  bool hidden_;
};

// True when another open of the file cannot take the lock a sweeper takes: a live writer
// holds it.
bool LockedByItsWriter(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return locked;
}

// A sweep by another run at any moment, even the last one before the temporary gets its
// name, finds it locked: a named temporary is never removed under its live writer.
TEST(StaleTemporaries, ANamedTemporaryIsLockedUntilItHasItsName) {
  const HiddenProc hidden;
  if (!hidden) GTEST_SKIP() << "cannot hide /proc: no right to mount in a namespace of our own";
  struct Case {
    bool existed;
    ExistingFile existing;
  };
  for (const Case c : {Case{false, ExistingFile::kReplace}, Case{true, ExistingFile::kReplace},
                       Case{false, ExistingFile::kKeep}}) {
    TempDir dir;
    if (c.existed) WriteFileBytes(dir / "f.bin", {'o', 'l', 'd'});
    std::vector<bool> lockedAtRename;
    beforeRename = [&](const char* from) { lockedAtRename.push_back(LockedByItsWriter(from)); };
    const IoResult written = WriteFileAtomically((dir / "f.bin").string(),
                                                 [](std::ostream& out) {
                                                   out << "new";
                                                   return true;
                                                 },
                                                 {.existing = c.existing});
    beforeRename = nullptr;
    EXPECT_TRUE(written) << DescribeIoResult(written);
    EXPECT_EQ(lockedAtRename, std::vector<bool>{true}) << "existed " << c.existed;
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), (std::vector<uint8_t>{'n', 'e', 'w'}));
  }
}

// A stale empty temporary goes too once it is old enough that no writer can be about to lock it.
TEST(StaleTemporaries, AnOldEmptyOneIsRemovedToo) {
  TempDir dir;
  WriteFileBytes(dir / ".pixorale-tmp-empty0123456789a", {});
  fs::last_write_time(dir / ".pixorale-tmp-empty0123456789a",
                      fs::file_time_type::clock::now() - std::chrono::minutes(5));
  ASSERT_TRUE(WriteFileAtomically((dir / "f.bin").string(), [](std::ostream& out) {
    out << "new";
    return true;
  }));
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

}  // namespace
}  // namespace pixorale
