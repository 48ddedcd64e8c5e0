#pragma once

#include <optional>
#include <string_view>

namespace pixorale::cli {

inline constexpr int kStandardOutput = 1;

// The descriptor an output name stands for, written in place rather than replaced: "-" and
// /dev/stdout are standard output, /dev/stderr standard error, /dev/fd/N and /proc/self/fd/N
// descriptor N. Replacing those names would write a new file where the shell had opened a
// pipe or a file for the program, losing what it had written there before.
std::optional<int> StandardStreamDescriptor(std::string_view path);

}  // namespace pixorale::cli
