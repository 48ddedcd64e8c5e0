#include "app/converter/this_build.h"

#include <thread>
#include <vector>

#include "app/converter/build_features.h"

namespace pixorale::converter {

BuildFeatures ThisBuild() {
  return kBuildFeatures;
}

std::string PictureKinds(const BuildFeatures& build, const std::string& last) {
  std::vector<std::string> kinds = {"BMP"};
  if (build.pngInput) kinds.emplace_back("PNG");
  if (build.jpegInput) kinds.emplace_back("JPEG");
  std::string list = kinds.front();
  for (size_t i = 1; i < kinds.size(); ++i) {
    list += (i + 1 == kinds.size() ? last : ", ") + kinds[i];
  }
  return list;
}

unsigned DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

}  // namespace pixorale::converter
