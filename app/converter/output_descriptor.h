#pragma once

#include <optional>
#include <string_view>

namespace pixorale::converter {

inline constexpr int kStandardOutput = 1;

// The descriptor an output name stands for, written in place rather than replaced: "-" is
// standard output, and any name that leads to an open descriptor (ResolveOutputTarget:
// /dev/stdout, //dev/stdout, /dev/fd/./1, a link to /dev/stderr, /proc/self/fd/N, the file
// standard output is redirected to) is that descriptor. Replacing those names would write a
// new file where the shell had opened a pipe or a file for the program, losing what it had
// written there before.
std::optional<int> StandardStreamDescriptor(std::string_view path);

}  // namespace pixorale::converter
