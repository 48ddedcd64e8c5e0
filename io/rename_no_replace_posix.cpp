#include <fcntl.h>
#include <stdio.h>

#include "io/rename_no_replace.h"

namespace pixorale {

int RenameNoReplace(const char* from, const char* to) {
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

}  // namespace pixorale
