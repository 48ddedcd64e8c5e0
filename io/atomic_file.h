#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace pixorale {

// Writes a file so that a failure never leaves a half-written file in its place: the body
// goes to a temporary file beside the target, which is flushed to disk and renamed over the
// target only when every byte was written. A target that exists and is not a regular file
// (a device, a pipe) cannot be replaced and is written in place. Returns false when the
// file could not be opened, written or renamed, or when writeBody returns false; the target
// is then left as it was (apart from a non-regular target).
// A symbolic link stays a link: the file it finally points to is the one replaced, and a
// replaced file keeps its permission bits; a new file gets 0666 less the umask.
//
// Replacing an existing file always flushes the new content to disk before the rename, so a
// crash leaves the old content or the new, never an empty file. A file that did not exist
// is flushed only with SyncNewFile::kYes: without it a crash right after the write may leave
// the new name empty, which costs nothing that was there before and saves a batch of
// conversions a disk flush per file.
enum class SyncNewFile { kYes, kNo };
bool WriteFileAtomically(const std::string& path,
                         const std::function<bool(std::ostream&)>& writeBody,
                         SyncNewFile syncNewFile = SyncNewFile::kYes);

}  // namespace pixorale
