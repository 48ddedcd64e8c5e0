#pragma once

namespace pixorale {

// Renames `from` to `to` unless `to` exists, in one step; 0, or -1 with errno set. EINVAL or
// ENOSYS: the file system or the platform cannot do it in one step.
int RenameNoReplace(const char* from, const char* to);

}  // namespace pixorale
