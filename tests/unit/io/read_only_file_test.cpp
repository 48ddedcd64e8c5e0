#include "io/read_only_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "support/temp_dir.h"

namespace pixorale {
namespace {

using test::TempDir;
using test::WriteFileBytes;

TEST(ReadOnlyFile, OnlyRegularFilesOpenAndNothingWaits) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // no writer: a blocking open hangs
  std::filesystem::create_directory(dir / "sub");
  ReadOnlyFile file;
  EXPECT_EQ(file.Open((dir / "pipe").string()).failedStep, IoStep::kNotRegularFile);
  EXPECT_EQ(file.Open((dir / "sub").string()).failedStep, IoStep::kIsDirectory);
  EXPECT_EQ(file.Open("/dev/zero").failedStep, IoStep::kNotRegularFile);
  const IoResult missing = file.Open((dir / "missing").string());
  EXPECT_EQ(missing.failedStep, IoStep::kOpen);
  EXPECT_EQ(missing.systemError, ENOENT);
  EXPECT_FALSE(file.IsOpen());
}

TEST(ReadOnlyFile, ReadsAtOffsetsAndStopsShortAtTheEnd) {
  TempDir dir;
  WriteFileBytes(dir / "f", {1, 2, 3, 4, 5});
  ReadOnlyFile file;
  ASSERT_TRUE(file.Open((dir / "f").string()));
  EXPECT_EQ(file.Size(), 5u);
  std::vector<uint8_t> out(4, 0xEE);
  EXPECT_EQ(file.ReadAt(3, out), 2);
  EXPECT_EQ(out, (std::vector<uint8_t>{4, 5, 0xEE, 0xEE}));
  EXPECT_EQ(file.ReadAt(9, out), 0);
}

}  // namespace
}  // namespace pixorale
