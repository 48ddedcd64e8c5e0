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
bool WriteFileAtomically(const std::string& path,
                         const std::function<bool(std::ostream&)>& writeBody);

}  // namespace pixorale
