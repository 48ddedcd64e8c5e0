#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "corpus_paths.h"
#include "image/picture_decode.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;

// One line of the manifest: a file and what reading it as a picture gives.
struct PictureCase {
  std::string file;
  std::string outcome;  // converted or error
  std::string detail;   // the width (converted) or a part of the reason (error)
  std::string what;
};

void PrintTo(const PictureCase& c, std::ostream* out) {
  *out << c.file;
}

std::vector<PictureCase> ReadManifest() {
  std::vector<PictureCase> cases;
  std::ifstream in(fs::path(PIXORALE_PICTURE_CORPUS_DIR) / "manifest.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    PictureCase c;
    std::getline(fields, c.file, '\t');
    std::getline(fields, c.outcome, '\t');
    std::getline(fields, c.detail, '\t');
    std::getline(fields, c.what);
    cases.push_back(c);
  }
  return cases;
}

class PictureCorpus : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureCorpus, FileGivesItsStatedOutcome) {
  const PictureCase& c = GetParam();
  const std::vector<uint8_t> bytes =
      test::ReadFileBytes(fs::path(PIXORALE_PICTURE_CORPUS_DIR) / c.file);
  const PictureFormat format = DetectPictureFormat(bytes);
  ASSERT_NE(format, PictureFormat::kOther) << c.what;
  MemoryByteSource source(bytes);
  BitmapImage image;
  const PictureLoad load = DecodePicture(format, source, image);
  const std::string reason = DescribePictureLoad(load);
  if (c.outcome == "converted") {
    ASSERT_TRUE(load.ok()) << c.what << ": " << reason;
    EXPECT_EQ(std::to_string(image.width), c.detail);
    EXPECT_EQ(image.Row24(0).size(), size_t{image.width} * 3);
    EXPECT_EQ(image.Row24(image.MiddleRowIndex()).size(), size_t{image.width} * 3);
  } else {
    ASSERT_FALSE(load.ok()) << c.what;
    EXPECT_NE(reason.find(c.detail), std::string::npos) << reason;
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_FALSE(image.HasRows24());
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureCorpus, testing::ValuesIn(ReadManifest()),
                         [](const testing::TestParamInfo<PictureCase>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace pixorale
