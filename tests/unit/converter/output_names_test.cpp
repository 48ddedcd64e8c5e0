#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/converter/output_descriptor.h"

namespace pixorale::converter {
namespace {

TEST(StandardStreamDescriptor, NamesOfOpenDescriptorsAreWrittenInPlace) {
  struct Case {
    const char* path;
    std::optional<int> fd;
  };
  const Case cases[] = {
      {"-", 1},
      {"/dev/stdout", 1},
      {"/dev/stderr", 2},
      {"/dev/fd/7", 7},
      {"/proc/self/fd/12", 12},
      {"/dev/fd/", std::nullopt},
      {"/dev/fd/x", std::nullopt},
      {"/dev/fd/-1", std::nullopt},
      {"/dev/null", std::nullopt},
      {"./-", std::nullopt},
      {"out.mid", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(StandardStreamDescriptor(c.path), c.fd) << c.path;
}

}  // namespace
}  // namespace pixorale::converter
