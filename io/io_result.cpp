#include "io/io_result.h"

#include <system_error>

namespace pixorale {
namespace {

const char* StepText(IoStep step) {
  switch (step) {
    case IoStep::kNone:
      return "done";
    case IoStep::kOpen:
      return "cannot be opened";
    case IoStep::kNotRegularFile:
      return "is not a regular file";
    case IoStep::kIsDirectory:
      return "is a directory";
    case IoStep::kRead:
      return "cannot be read";
    case IoStep::kCreate:  // the temporary beside it: to a person, the file itself
      return "cannot be written";
    case IoStep::kWrite:
      return "cannot be written";
    case IoStep::kSync:
      return "cannot be flushed to disk";
    case IoStep::kRename:
      return "cannot be put in place";
    case IoStep::kExists:
      return "already exists";
    case IoStep::kBody:
      return "cannot be written";
  }
  return "failed";
}

}  // namespace

std::string DescribeIoResult(const IoResult& result) {
  std::string text = StepText(result.failedStep);
  // These steps say all there is; the system's word would only repeat them.
  const bool selfExplaining =
      result.failedStep == IoStep::kNone || result.failedStep == IoStep::kNotRegularFile ||
      result.failedStep == IoStep::kIsDirectory || result.failedStep == IoStep::kExists;
  if (!selfExplaining && result.systemError != 0) {
    text += ": " + std::generic_category().message(result.systemError);
  }
  return text;
}

}  // namespace pixorale
