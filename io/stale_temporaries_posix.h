#pragma once

#include <filesystem>
#include <string_view>

namespace pixorale {

// Hidden temporaries are named this and six letters or digits: ".pixorale-k3J9xQ".
inline constexpr std::string_view kTemporaryPrefix = ".pixorale-";

// Marks a temporary as owned by a live writer: the lock lasts as long as the process holds
// the file open, so it ends with the process however that ends. Taken before the file has a
// name, or (where a name comes with the file) before its first byte.
void LockAsOwner(int fd);

// Removes the hidden temporaries in `directory` that no live process locks: what a writer
// killed outright (kill -9, a crash, a power cut) left behind. An empty one is spared for a
// moment, as its writer may not have locked it yet. Only files of this user are touched,
// and each folder is looked at once per process.
void RemoveStaleTemporaries(const std::filesystem::path& directory);

}  // namespace pixorale
