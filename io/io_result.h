#pragma once

#include <string>

namespace pixorale {

// Which step of reading or writing a file went wrong.
enum class IoStep {
  kNone,            // nothing went wrong
  kOpen,            // the file could not be opened
  kNotRegularFile,  // a FIFO, device or socket where a regular file was needed
  kIsDirectory,
  kRead,
  kCreate,  // no new file could be made beside the target
  kWrite,
  kSync,    // the data could not be flushed to the disk
  kRename,  // the finished file could not be put under its name
  kExists,  // the name was taken and was to be kept
  kBody,    // the caller's writer gave up
};

// The outcome of a file operation: the failing step and the system's error number, captured
// at the failing call before any clean-up could change it. Converts to true on success.
struct IoResult {
  IoStep failedStep = IoStep::kNone;
  int systemError = 0;

  static IoResult Failure(IoStep step, int error) { return {step, error}; }
  bool ok() const { return failedStep == IoStep::kNone; }
  explicit operator bool() const { return ok(); }
};

// One line for a person: "cannot be written: No space left on device".
std::string DescribeIoResult(const IoResult& result);

}  // namespace pixorale
