#include <dlfcn.h>

#include "render/shared_module.h"

namespace pixorale {

ModuleFunction LoadModuleFunction(const std::string& file, const char* name) {
  // Resolved at once, so that a missing library of the module fails here and not in the
  // middle of a render; kept to itself, so that its symbols meet none of the program's.
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return {nullptr, dlerror()};
  dlerror();
  void* address = dlsym(module, name);
  if (address == nullptr) return {nullptr, file + ": no " + name};
  return {address, {}};
}

}  // namespace pixorale
