#include "app/bmp_extension.h"

#include <gtest/gtest.h>

namespace pixorale {
namespace {

struct ExtensionCase {
  const char* path;
  bool converts;
};

class BmpExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(BmpExtension, OnlyExactLowerOrUpperCasePasses) {
  EXPECT_EQ(HasBmpExtension(GetParam().path), GetParam().converts) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BmpExtension,
    ::testing::Values(ExtensionCase{"/home/u/picture.bmp", true},
                      ExtensionCase{"/home/u/PICTURE.BMP", true}, ExtensionCase{"a.b.bmp", true},
                      ExtensionCase{".bmp", true}, ExtensionCase{"with space/x y.bmp", true},
                      ExtensionCase{"picture.Bmp", false}, ExtensionCase{"picture.bMP", false},
                      ExtensionCase{"picture.bmp ", false}, ExtensionCase{"\"picture.bmp\"", false},
                      ExtensionCase{"picture.txt", false}, ExtensionCase{"picture", false},
                      ExtensionCase{"", false}, ExtensionCase{"dir.bmp/picture", false},
                      ExtensionCase{"picture.bmpx", false}));

}  // namespace
}  // namespace pixorale
