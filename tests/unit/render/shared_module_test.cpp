#include "render/shared_module.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/render_module.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// The module as the build made it; a copy cut short stands for one damaged on the disk (an
// install stopped by a full disk, a copy broken off).
TEST(SharedModule, AModuleCutShortIsRefusedInOneLineInsteadOfLoaded) {
  const fs::path module = PIXORALE_RENDER_MODULE_FILE;
  std::ifstream in(module, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(bytes.size(), 100'000u);
  // Module paths are given from the program's own folder.
  const fs::path programFolder = fs::read_symlink("/proc/self/exe").parent_path();
  const test::TempDir dir;
  for (const size_t cut : {size_t{64}, size_t{1000}, size_t{5000}, size_t{20'000}, size_t{50'000},
                           bytes.size() / 2, bytes.size() - 1}) {
    const fs::path copy = dir / ("cut-" + std::to_string(cut) + ".so");
    std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(cut));
    const ModuleFunction loaded =
        LoadModuleFunction(fs::relative(copy, programFolder).string(), kRenderEntryPointsSymbol);
    EXPECT_EQ(loaded.address, nullptr) << cut << " bytes";
    const std::string refusal = copy.string() + ": cut short: " + std::to_string(cut) +
                                " bytes where its headers need " + std::to_string(bytes.size());
    EXPECT_EQ(loaded.error, refusal);
  }
  const ModuleFunction whole =
      LoadModuleFunction(fs::relative(module, programFolder).string(), kRenderEntryPointsSymbol);
  EXPECT_NE(whole.address, nullptr) << whole.error;
}

}  // namespace
}  // namespace pixorale
