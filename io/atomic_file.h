#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
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
// leaves the target as it was (see PendingFile for what kill -9 may leave). A failing
// writeBody (false) fails the write with IoStep::kBody.
// A symbolic link stays a link: the file it finally points to is the one replaced, and a
// replaced file keeps its permission bits; a new file gets 0666 less the umask. A name that
// leads to a descriptor the program holds (see ResolveOutputTarget) or to a device or pipe
// is written in place.
IoResult WriteFileAtomically(const std::string& path, const WriteBody& writeBody,
                             const WriteOptions& options = {});

// A file written now and put under its name later, so that several files can appear
// together. A hidden temporary (where a file system has no unnamed files, or for the moment
// of replacing a file) is locked by its writer; one that no live process locks was left by
// a writer killed outright (kill -9, a crash) and is removed by the next write into that
// folder.
class PendingFile {
 public:
  PendingFile();
  ~PendingFile();  // an unpublished temporary goes with it
  PendingFile(PendingFile&&) noexcept;
  PendingFile& operator=(PendingFile&&) noexcept;

  // Writes the body into a temporary beside the file the path leads to, or in place when the
  // path leads to a descriptor, a device or a pipe (nothing is left to publish then).
  IoResult Write(const std::string& path, const WriteBody& writeBody,
                 const WriteOptions& options = {});
  // Puts the written file under its name (see ExistingFile).
  IoResult Publish();
  // Takes the name back from a published file that took a free name; a file it replaced
  // cannot come back and stays replaced.
  void Withdraw();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// One output of a set written together: a path, or a descriptor the program was given.
struct PlannedFile {
  std::string path;
  std::optional<int> descriptor;
  WriteBody body;
  WriteOptions options;
};

struct FilesResult {
  IoResult io;
  size_t failed = 0;  // the index of the file that failed
  explicit operator bool() const { return io.ok(); }
};

// Writes every file into its own unpublished temporary, then the descriptors in place, and
// only when all are complete gives the files their names: a failure before that leaves none
// of them. Should a name fail at the last step (one that appeared meanwhile, without
// --force), the names already given to new files are taken back.
FilesResult WriteFilesTogether(std::span<const PlannedFile> files);

// Writes the body to a descriptor that is already open (standard output, a pipe), in place.
IoResult WriteToDescriptor(int fd, const WriteBody& writeBody);

// Removes the hidden temporaries of writes under way. Safe to call from a signal handler,
// which then ends the process; a set of files being named is let finish first (see
// io/publication.h).
void RemoveTemporariesOnSignal() noexcept;

}  // namespace pixorale
