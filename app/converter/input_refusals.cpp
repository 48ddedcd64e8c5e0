#include "app/converter/input_refusals.h"

#include <algorithm>
#include <cctype>

#include "app/converter/program_name.h"
#include "app/converter/this_build.h"
#include "image/picture_format.h"

namespace pixorale::converter {

bool NamesMidiFile(const std::string& path) {
  const size_t dot = path.find_last_of("./\\");
  if (dot == std::string::npos || path[dot] != '.') return false;
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".mid" || extension == ".midi";
}

std::string MidiFileAsInput(const std::string& path) {
  return "not a picture; -o names the output (-o " + path + ")";
}

std::string UnsupportedPicture(std::span<const uint8_t> firstBytes, uint64_t fileSize) {
  std::string what(PictureFormatName(firstBytes));
  if (fileSize == 0) {
    what = "empty file";
  } else if (what.empty()) {
    what = "not a picture";
  }
  return "unsupported picture (" + what + "); " + std::string(kProgram) + " reads " +
         PictureKinds(ThisBuild(), " and ");
}

}  // namespace pixorale::converter
