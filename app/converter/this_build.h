#pragma once

#include <string>

namespace pixorale::converter {

// What this build can read and make beyond BMP in and MIDI out: it depends on the libraries
// the build found.
struct BuildFeatures {
  bool pngInput = false;
  bool jpegInput = false;
  bool wavOutput = false;
  bool pianoRollOutput = false;
};

// This program's features.
BuildFeatures ThisBuild();

// The picture formats the build reads, for a person: "BMP, PNG" + last + "JPEG".
std::string PictureKinds(const BuildFeatures& build, const std::string& last);

// One worker per core.
unsigned DefaultJobs();

}  // namespace pixorale::converter
