#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace pixorale {

// The desktop programs' command line. The tail (Qt's form): the arguments after the
// program's name, joined with single spaces; a path with blanks given as several words comes
// back whole. The Windows program takes the tail from the platform as it is.
std::string CommandLineTail(int argc, const char* const* argv);

// "--version" and "--help" as the whole tail are answered on the stream instead of being
// taken as a picture's path; the result is then the exit code. Any other tail gives nothing.
std::optional<int> AnswerInformationRequest(std::string_view tail, std::ostream& out);

}  // namespace pixorale
