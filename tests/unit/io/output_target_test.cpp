#include "io/output_target.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Puts `fd` in standard output's place for the object's lifetime, as a shell's "> file" or
// "| reader" does.
class ScopedStandardOutput {
 public:
  explicit ScopedStandardOutput(int fd) : saved_(::dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    ::dup2(fd, STDOUT_FILENO);
  }
  ~ScopedStandardOutput() {
    std::fflush(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
  }
  ScopedStandardOutput(const ScopedStandardOutput&) = delete;
  ScopedStandardOutput& operator=(const ScopedStandardOutput&) = delete;

 private:
  int saved_;
};

TEST(ResolveOutputTarget, EverySpellingOfAnOpenDescriptorLeadsToIt) {
  TempDir dir;
  const int fd = ::open((dir / "f").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  const std::string n = std::to_string(fd);
  fs::create_symlink("/dev/fd/" + n, dir / "link");
  for (const std::string& name :
       {"/proc/self/fd/" + n, "/dev/fd/" + n, "/dev/fd/./" + n, "//dev/fd/" + n,
        "/dev/../dev/fd/" + n, "/proc/thread-self/fd/" + n, (dir / "link").string()}) {
    EXPECT_EQ(ResolveOutputTarget(name).descriptor, fd) << name;
  }
  ::close(fd);
}

// The shell's pipe has no name: its entry in /proc reads "pipe:[4711]", which leads nowhere
// when followed as a path.
TEST(ResolveOutputTarget, StandardOutputIntoAPipeIsReachedByItsNames) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  {
    const ScopedStandardOutput redirected(ends[1]);
    for (const char* name : {"/dev/stdout", "//dev/stdout", "/dev/./stdout", "/dev/fd/./1"}) {
      EXPECT_EQ(ResolveOutputTarget(name).descriptor, 1) << name;
    }
  }
  ::close(ends[0]);
  ::close(ends[1]);
}

TEST(ResolveOutputTarget, TheFileStandardOutputIsRedirectedToIsStandardOutput) {
  TempDir dir;
  const int fd = ::open((dir / "out.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  fs::create_symlink("/dev/stdout", dir / "link");
  {
    const ScopedStandardOutput redirected(fd);
    for (const fs::path& name :
         {fs::path("/dev/stdout"), dir / "out.txt", dir / "." / "out.txt", dir / "link"}) {
      EXPECT_EQ(ResolveOutputTarget(name.string()).descriptor, 1) << name;
    }
  }
  ::close(fd);
  EXPECT_EQ(ResolveOutputTarget((dir / "out.txt").string()).descriptor, std::nullopt);
}

// Written to, the file standard output is redirected to keeps what the shell wrote before;
// a writer that refuses to write in place (the settings file) replaces it as any file.
TEST(ResolveOutputTarget, TheRedirectedFileIsWrittenInPlaceUnlessThatIsRefused) {
  TempDir dir;
  const fs::path path = dir / "out.txt";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "BEFORE;", 7), 7);
  const auto body = [](std::ostream& out) { return static_cast<bool>(out << "body;"); };
  {
    const ScopedStandardOutput redirected(fd);
    ASSERT_TRUE(WriteFileAtomically(path.string(), body));
    EXPECT_EQ(test::ReadFileBytes(path),
              (std::vector<uint8_t>{'B', 'E', 'F', 'O', 'R', 'E', ';', 'b', 'o', 'd', 'y', ';'}));
    ASSERT_TRUE(
        WriteFileAtomically(path.string(), body, {.nonRegular = NonRegularTarget::kRefuse}));
    EXPECT_EQ(test::ReadFileBytes(path), (std::vector<uint8_t>{'b', 'o', 'd', 'y', ';'}));
  }
  ::close(fd);
}

TEST(ResolveOutputTarget, NamesOfOneFileResolveAlikeWhetherItExistsOrNot) {
  TempDir dir;
  const test::ScopedCurrentDirectory here(dir.path());
  fs::create_directory("sub");
  fs::create_symlink("x.out", "link");
  const std::string resolved = ComparablePath(ResolveOutputTarget("x.out"));
  EXPECT_EQ(resolved, (fs::canonical(dir.path()) / "x.out").string());
  for (const char* name : {"./x.out", "sub/../x.out", "link", ".//x.out"}) {
    const OutputTarget target = ResolveOutputTarget(name);
    EXPECT_EQ(ComparablePath(target), resolved) << name;
    EXPECT_FALSE(target.descriptor) << name;
    EXPECT_TRUE(SameOutput("x.out", name)) << name;
  }
  EXPECT_FALSE(SameOutput("x.out", "y.out"));
  test::WriteFileBytes("y.out", {1});
  fs::create_hard_link("y.out", "z.out");
  EXPECT_TRUE(SameOutput("y.out", "z.out"));
}

TEST(ResolveOutputTarget, LoopOfLinksLeadsNowhere) {
  TempDir dir;
  fs::create_symlink(dir / "b", dir / "a");
  fs::create_symlink(dir / "a", dir / "b");
  const OutputTarget target = ResolveOutputTarget((dir / "a").string());
  EXPECT_TRUE(target.finalPath.empty());
  EXPECT_TRUE(ComparablePath(target).empty());
  EXPECT_FALSE(target.descriptor);
  EXPECT_FALSE(SameOutput((dir / "a").string(), (dir / "b").string()));
}

}  // namespace
}  // namespace pixorale
