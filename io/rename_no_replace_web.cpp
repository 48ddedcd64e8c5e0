#include <cerrno>

#include "io/rename_no_replace.h"

namespace pixorale {

// The browser's file system has no such rename; the caller links instead.
int RenameNoReplace(const char*, const char*) {
  errno = ENOSYS;
  return -1;
}

}  // namespace pixorale
