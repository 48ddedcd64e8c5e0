#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "io/io_result.h"

namespace pixorale {

// Whether a file that did not exist is flushed to disk before it appears under its name.
// Replacing an existing file always flushes first, so a crash leaves the old content or the
// new, never an empty file. Without the flush a crash right after the write may leave a new
// name empty, which costs nothing that was there before and saves a batch a flush per file.
enum class SyncNewFile { kYes, kNo };
// What happens when the name is taken: replaced, or kept (the write then fails with
// IoStep::kExists, decided by the final step itself, so a file that appears meanwhile is
// kept too).
enum class ExistingFile { kReplace, kKeep };
// A device or a pipe cannot be replaced by renaming: it is written in place, or refused.
enum class NonRegularTarget { kWriteInPlace, kRefuse };

struct WriteOptions {
  SyncNewFile syncNewFile = SyncNewFile::kYes;
  ExistingFile existing = ExistingFile::kReplace;
  NonRegularTarget nonRegular = NonRegularTarget::kWriteInPlace;
};

using WriteBody = std::function<bool(std::ostream&)>;

// Writes a file so that its name only ever shows a complete file: the body goes to an unnamed
// (or, where the file system has none, a hidden) temporary file beside the target, which
// gets the name only when every byte was written. A failure, an interruption or a crash
// leaves the target as it was and no temporary behind. A failing writeBody (false) fails
// the write with IoStep::kBody.
// A symbolic link stays a link: the file it finally points to is the one replaced, and a
// replaced file keeps its permission bits; a new file gets 0666 less the umask.
IoResult WriteFileAtomically(const std::string& path, const WriteBody& writeBody,
                             const WriteOptions& options = {});

// Writes the body to a descriptor that is already open (standard output, a pipe), in place.
IoResult WriteToDescriptor(int fd, const WriteBody& writeBody);

// Removes the hidden temporaries of writes under way. Safe to call from a signal handler,
// which then ends the process.
void RemoveTemporariesOnSignal() noexcept;

}  // namespace pixorale
