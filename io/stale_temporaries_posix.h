#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pixorale {

// Hidden temporaries are named ".pixorale-tmp-" and sixteen letters or digits drawn at random
// (".pixorale-tmp-k3J9xQa1B2c3D4e5"): no name a person gives a file, so that the sweep below
// never takes a file of the user's own for one.
inline constexpr std::string_view kTemporaryPrefix = ".pixorale-tmp-";
inline constexpr size_t kTemporaryRandomLetters = 16;

// A fresh hidden temporary's file name, without its folder.
std::string NewTemporaryName();

// Marks a temporary as owned by a live writer: the lock lasts as long as the process holds
// the file open, so it ends with the process however that ends. Taken before the file has a
// name, or (where a name comes with the file) before its first byte. False where the file
// system refused the lock: its temporaries cannot be told stale from live.
bool LockAsOwner(int fd);

// Removes the hidden temporaries in `directory` that no live process locks: what a writer
// killed outright (kill -9, a crash, a power cut) left behind. An empty one is spared for a
// moment, as its writer may not have locked it yet. Only files of this user are touched,
// each folder is looked at once per process, and never one whose locks other machines may
// not see (see LocksAreSharedIn).
void RemoveStaleTemporaries(const std::filesystem::path& directory);

}  // namespace pixorale
