#include "io/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::ScopedCurrentDirectory;
using test::ScopedFileSizeLimit;
using test::TempDir;
using test::WriteFileBytes;

using Bytes = std::vector<uint8_t>;

const Bytes kOld = {'o', 'l', 'd', '\n'};
const Bytes kNew = {'n', 'e', 'w', ' ', 'b', 'o', 'd', 'y'};

std::function<bool(std::ostream&)> BodyOf(const Bytes& bytes) {
  return [bytes](std::ostream& out) {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return true;
  };
}

bool FailingBody(std::ostream& out) {
  out << "partial";
  return false;
}

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

mode_t PermissionBits(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t previous_;
};

TEST(WriteFileAtomically, NewFileGetsTheBodyAndOrdinaryPermissions) {
  TempDir dir;
  {
    ScopedUmask mask(022);
    ASSERT_TRUE(WriteFileAtomically(dir / "a.bin", BodyOf(kNew)));
  }
  {
    ScopedUmask mask(027);
    ASSERT_TRUE(WriteFileAtomically(dir / "b.bin", BodyOf(kNew)));
  }
  EXPECT_EQ(ReadFileBytes(dir / "a.bin"), kNew);
  EXPECT_EQ(PermissionBits(dir / "a.bin"), 0644u);
  EXPECT_EQ(PermissionBits(dir / "b.bin"), 0640u);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"a.bin", "b.bin"}));
}

TEST(WriteFileAtomically, ReplacesAnExistingFileKeepingItsPermissionBits) {
  TempDir dir;
  for (const mode_t mode : {0600u, 0755u, 0640u}) {
    WriteFileBytes(dir / "f.bin", kOld);
    fs::permissions(dir / "f.bin", static_cast<fs::perms>(mode));
    ASSERT_TRUE(WriteFileAtomically(dir / "f.bin", BodyOf(kNew)));
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kNew);
    EXPECT_EQ(PermissionBits(dir / "f.bin"), mode);
  }
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, FailingBodyLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  WriteFileBytes(dir / "f.bin", kOld);
  EXPECT_FALSE(WriteFileAtomically(dir / "f.bin", FailingBody));
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, FailingBodyCreatesNothing) {
  TempDir dir;
  EXPECT_FALSE(WriteFileAtomically(dir / "f.bin", FailingBody));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(WriteFileAtomically, WriteErrorWhileReplacingLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  WriteFileBytes(dir / "f.bin", kOld);
  const Bytes big(1 << 20, 0x5A);
  bool written = true;
  {
    ScopedFileSizeLimit limit(4096);
    written = WriteFileAtomically(dir / "f.bin", BodyOf(big)).ok();
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, WriteErrorOnlyAtTheFinalFlushIsStillReported) {
  // Small enough to stay in the stream's buffer until the end.
  TempDir dir;
  WriteFileBytes(dir / "f.bin", kOld);
  bool written = true;
  {
    ScopedFileSizeLimit limit(4);
    written = WriteFileAtomically(dir / "f.bin", BodyOf(kNew)).ok();
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

// Writes through a private pipe and tells whether it was written in place and is still a
// pipe; a writer that renamed over non-regular files would, run as root, replace device nodes.
bool WritesPipesInPlace(const Bytes& body) {
  TempDir dir;
  const fs::path fifo = dir / "pipe";
  if (::mkfifo(fifo.c_str(), 0600) != 0) return false;
  // Holding a reader open lets the writer's open return at once.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  if (reader < 0) return false;
  const bool written = WriteFileAtomically(fifo, BodyOf(body)).ok();
  Bytes received(body.size() + 16);
  const ssize_t count = ::read(reader, received.data(), received.size());
  ::close(reader);
  received.resize(count > 0 ? static_cast<size_t>(count) : 0);
  return written && received == body && fs::is_fifo(fifo) &&
         Entries(dir.path()) == std::set<std::string>{"pipe"};
}

TEST(WriteFileAtomically, PipeIsWrittenInPlaceAndStaysAPipe) {
  EXPECT_TRUE(WritesPipesInPlace(kNew));
}

TEST(WriteFileAtomically, FullDeviceFails) {
  ASSERT_TRUE(WritesPipesInPlace(kNew)) << "not touching /dev/full";
  EXPECT_FALSE(WriteFileAtomically("/dev/full", BodyOf(kNew)));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(WriteFileAtomically, UnreachablePathsFailAndCreateNothing) {
  TempDir dir;
  WriteFileBytes(dir / "plain", kOld);
  fs::create_directory(dir / "sub");
  EXPECT_FALSE(WriteFileAtomically("", BodyOf(kNew)));
  EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "f.bin", BodyOf(kNew)));
  EXPECT_FALSE(WriteFileAtomically(dir / "plain" / "f.bin", BodyOf(kNew)));
  EXPECT_FALSE(WriteFileAtomically(dir / "sub", BodyOf(kNew)));
  EXPECT_TRUE(fs::is_directory(dir / "sub"));
  EXPECT_TRUE(fs::is_empty(dir / "sub"));
  EXPECT_EQ(ReadFileBytes(dir / "plain"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"plain", "sub"}));
}

TEST(WriteFileAtomically, BareFileNameIsWrittenInTheCurrentDirectory) {
  TempDir dir;
  ScopedCurrentDirectory inDir(dir.path());
  EXPECT_TRUE(WriteFileAtomically("f.bin", BodyOf(kNew)));
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kNew);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, SymbolicLinkStaysALinkAndItsTargetIsReplaced) {
  TempDir dir;
  fs::create_directory(dir / "real");
  WriteFileBytes(dir / "real" / "f.bin", kOld);
  fs::permissions(dir / "real" / "f.bin", static_cast<fs::perms>(0640));
  fs::create_symlink("real/f.bin", dir / "hop2");
  fs::create_symlink(dir / "hop2", dir / "link");
  EXPECT_TRUE(WriteFileAtomically(dir / "link", BodyOf(kNew)));
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_TRUE(fs::is_symlink(dir / "hop2"));
  EXPECT_EQ(ReadFileBytes(dir / "real" / "f.bin"), kNew);
  EXPECT_EQ(PermissionBits(dir / "real" / "f.bin"), 0640u);
  EXPECT_EQ(Entries(dir / "real"), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, DanglingLinkCreatesTheFileItNames) {
  TempDir dir;
  fs::create_symlink("target.bin", dir / "link");
  EXPECT_TRUE(WriteFileAtomically(dir / "link", BodyOf(kNew)));
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(ReadFileBytes(dir / "target.bin"), kNew);
}

TEST(WriteFileAtomically, LoopOfLinksFails) {
  TempDir dir;
  fs::create_symlink("b", dir / "a");
  fs::create_symlink("a", dir / "b");
  EXPECT_FALSE(WriteFileAtomically(dir / "a", BodyOf(kNew)));
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"a", "b"}));
}

TEST(WriteFileAtomically, ManySmallAndLargeWritesArriveInOrder) {
  TempDir dir;
  Bytes expected;
  const auto body = [&expected](std::ostream& out) {
    for (int round = 0; round < 3; ++round) {
      for (int i = 0; i < 100000; ++i) {
        const char byte = static_cast<char>(i * 7 + round);
        out.put(byte);
        expected.push_back(static_cast<uint8_t>(byte));
      }
      const std::string block(600 * 1024, static_cast<char>('a' + round));
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      expected.insert(expected.end(), block.begin(), block.end());
    }
    return true;
  };
  ASSERT_TRUE(WriteFileAtomically(dir / "f.bin", body));
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), expected);
}

// Without a flush of new files (the MIDI writer's choice) a new file is written under its
// own name; a failure must still leave nothing behind, and an existing file is still
// replaced only once the new content is complete.
TEST(WriteFileAtomically, UnsyncedNewFileIsRemovedWhenTheWriteFails) {
  TempDir dir;
  const Bytes big(1 << 20, 0x5A);
  bool written = true;
  {
    ScopedFileSizeLimit limit(4096);
    written =
        WriteFileAtomically(dir / "f.bin", BodyOf(big), {.syncNewFile = SyncNewFile::kNo}).ok();
  }
  EXPECT_FALSE(written);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_FALSE(WriteFileAtomically(dir / "g.bin", FailingBody, {.syncNewFile = SyncNewFile::kNo}));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(WriteFileAtomically, UnsyncedNewFileGetsTheBodyAndOrdinaryPermissions) {
  TempDir dir;
  ScopedUmask mask(022);
  ASSERT_TRUE(WriteFileAtomically(dir / "f.bin", BodyOf(kNew), {.syncNewFile = SyncNewFile::kNo}));
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kNew);
  EXPECT_EQ(PermissionBits(dir / "f.bin"), 0644u);
}

TEST(WriteFileAtomically, UnsyncedReplaceStillKeepsTheOldFileOnFailure) {
  TempDir dir;
  WriteFileBytes(dir / "f.bin", kOld);
  const Bytes big(1 << 20, 0x5A);
  bool written = true;
  {
    ScopedFileSizeLimit limit(4096);
    written =
        WriteFileAtomically(dir / "f.bin", BodyOf(big), {.syncNewFile = SyncNewFile::kNo}).ok();
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

// A name that appears while the body is written (another process creating it) must survive
// when existing names are to be kept: the final step itself refuses it.
TEST(WriteFileAtomically, KeepRefusesANameTakenWhileWriting) {
  TempDir dir;
  const auto body = [&dir](std::ostream& out) {
    WriteFileBytes(dir / "f.bin", kOld);
    out << "new body";
    return true;
  };
  const IoResult result = WriteFileAtomically(
      dir / "f.bin", body, {.syncNewFile = SyncNewFile::kNo, .existing = ExistingFile::kKeep});
  EXPECT_EQ(result.failedStep, IoStep::kExists);
  EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
}

TEST(WriteFileAtomically, KeepRefusesAnExistingFileAndCreatesANewOne) {
  TempDir dir;
  WriteFileBytes(dir / "old.bin", kOld);
  const WriteOptions keep{.existing = ExistingFile::kKeep};
  EXPECT_EQ(WriteFileAtomically(dir / "old.bin", BodyOf(kNew), keep).failedStep, IoStep::kExists);
  EXPECT_TRUE(WriteFileAtomically(dir / "new.bin", BodyOf(kNew), keep));
  EXPECT_EQ(ReadFileBytes(dir / "old.bin"), kOld);
  EXPECT_EQ(ReadFileBytes(dir / "new.bin"), kNew);
}

// Whatever the body sees in the directory while it writes is what an interrupted run would
// leave behind: no name may show the file before it is complete.
TEST(WriteFileAtomically, NoNameShowsTheFileWhileItIsWritten) {
  for (const SyncNewFile sync : {SyncNewFile::kNo, SyncNewFile::kYes}) {
    TempDir dir;
    std::set<std::string> seen;
    const auto body = [&](std::ostream& out) {
      out << "partial";
      out.flush();
      seen = Entries(dir.path());
      return true;
    };
    ASSERT_TRUE(WriteFileAtomically(dir / "f.bin", body, {.syncNewFile = sync}));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
  }
}

// A writer killed outright (kill -9) mid-write leaves no partial file and no temporary.
TEST(WriteFileAtomically, KilledWriterLeavesNothingBehind) {
  for (const bool existed : {false, true}) {
    TempDir dir;
    if (existed) WriteFileBytes(dir / "f.bin", kOld);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const auto body = [](std::ostream& out) {
        const std::string block(1 << 20, 'x');
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        out.flush();
        ::kill(::getpid(), SIGKILL);
        return true;
      };
      WriteFileAtomically((dir / "f.bin").string(), body, {.syncNewFile = SyncNewFile::kNo});
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    if (existed) {
      EXPECT_EQ(ReadFileBytes(dir / "f.bin"), kOld);
      EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"f.bin"}));
    } else {
      EXPECT_TRUE(fs::is_empty(dir.path()));
    }
  }
}

TEST(WriteFileAtomically, FailuresSayWhichStepAndWhy) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  EXPECT_EQ(WriteFileAtomically(dir / "sub", BodyOf(kNew)).failedStep, IoStep::kIsDirectory);
  const IoResult missing = WriteFileAtomically(dir / "missing" / "f.bin", BodyOf(kNew));
  EXPECT_EQ(missing.failedStep, IoStep::kCreate);
  EXPECT_EQ(missing.systemError, ENOENT);
  EXPECT_EQ(WriteFileAtomically(dir / "f.bin", FailingBody).failedStep, IoStep::kBody);
  IoResult full;
  {
    ScopedFileSizeLimit limit(4096);
    full = WriteFileAtomically(dir / "big.bin", BodyOf(Bytes(1 << 20, 1)));
  }
  EXPECT_EQ(full.failedStep, IoStep::kWrite);
  EXPECT_EQ(full.systemError, EFBIG);
}

TEST(WriteFileAtomically, RefusedNonRegularTargetIsNotOpened) {
  TempDir dir;
  const fs::path fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // No reader: opening the pipe for writing would block forever.
  const IoResult result =
      WriteFileAtomically(fifo, BodyOf(kNew), {.nonRegular = NonRegularTarget::kRefuse});
  EXPECT_EQ(result.failedStep, IoStep::kNotRegularFile);
  EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace
}  // namespace pixorale
