#include <dlfcn.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "render/elf_extent.h"
#include "render/shared_module.h"

namespace pixorale {

ModuleFunction LoadModuleFunction(const std::string& pathFromProgram, const char* name) {
  // A whole path, found from the program's own file: a search by name would depend on the
  // library paths of whoever calls dlopen (a sanitizer's runtime, for one).
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {nullptr, "cannot find the program's own file: " + error.message()};
  const std::string file = (program.parent_path() / pathFromProgram).lexically_normal().string();
  // A file cut short would be mapped all the same and kill the program at its first touch
  // past the end.
  if (const std::optional<uint64_t> needed = ElfExtent(file)) {
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size < *needed) {
      return {nullptr, file + ": cut short: " + std::to_string(size) +
                           " bytes where its headers need " + std::to_string(*needed)};
    }
  }
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
