#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "image/mapped_file.h"
#include "support/temp_dir.h"

namespace pixorale::test {
namespace {

class MappedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir / "data", content);
    fd = open((dir / "data").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
  }
  void TearDown() override { close(fd); }

  TempDir dir;
  const std::vector<uint8_t> content = {1, 2, 3, 4, 5};
  int fd = -1;
};

TEST_F(MappedFileTest, MoveHandsTheMappingOver) {
  MappedFile first;
  ASSERT_TRUE(first.Map(fd, content.size()));
  const uint8_t* address = first.Bytes().data();
  MappedFile second(std::move(first));
  EXPECT_TRUE(first.Bytes().empty());
  EXPECT_EQ(second.Bytes().data(), address);
  MappedFile third;
  third = std::move(second);
  EXPECT_TRUE(second.Bytes().empty());
  EXPECT_EQ(third.Bytes()[2], 3);
}

TEST_F(MappedFileTest, FailsOnNothingToMapOrABadDescriptor) {
  MappedFile mapping;
  EXPECT_FALSE(mapping.Map(fd, 0));
  EXPECT_FALSE(mapping.Map(-1, 5));
  EXPECT_TRUE(mapping.Bytes().empty());
}

}  // namespace
}  // namespace pixorale::test
