#pragma once

#include <string>

namespace pixorale {

// A function of a shared library loaded while the program runs, or the system's one-line
// reason why the library or the function could not be found.
struct ModuleFunction {
  void* address = nullptr;
  std::string error;
};

// Loads the library at `pathFromProgram` (relative to the folder of the running program)
// and looks `name` up in it. The library stays loaded until the program ends.
ModuleFunction LoadModuleFunction(const std::string& pathFromProgram, const char* name);

}  // namespace pixorale
