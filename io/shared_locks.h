#pragma once

#include <filesystem>

namespace pixorale {

// Whether a lock taken on a file in `directory` is seen by every process that can open the
// file. Not on a network file system: its locks may be kept by each machine for itself
// (NFS mounted with nolock or local_lock, some CIFS and FUSE mounts) or not at all, so a file
// locked by a live writer on one machine looks unlocked from another.
bool LocksAreSharedIn(const std::filesystem::path& directory);

}  // namespace pixorale
