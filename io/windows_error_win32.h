#pragma once

namespace pixorale {

// The errno value nearest to a Windows error code, so that failures read the same on every
// system ("No such file or directory", "Permission denied", "No space left on device").
int ErrnoFromWindowsError(unsigned long error);
// The same for the calling thread's last error.
int LastErrorAsErrno();

}  // namespace pixorale
