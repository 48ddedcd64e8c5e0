#pragma once

#include <optional>
#include <string>

namespace pixorale {

// What an output name finally leads to, decided on what it resolves to rather than on how it
// is spelt: "//dev/stdout", "/dev/./stdout", "/dev/fd/./1" and a link to /dev/stdout all
// lead to descriptor 1.
struct OutputTarget {
  // Set when the name leads to a descriptor the program already holds: one of its own
  // standard streams (output or error, also when named by the file they are open on), or a
  // descriptor reached through /proc/self/fd/N or /dev/fd/N. Such an output is written in
  // place: replacing it would lose what the shell had written there before.
  std::optional<int> descriptor;
  // The file finally written, links followed (the folders on the way are left as they are).
  // Empty for a loop of links.
  std::string finalPath;
};

OutputTarget ResolveOutputTarget(const std::string& path);

// The file a target leads to, absolute and with every folder's links, "." and ".." resolved:
// two names that lead to one file give the same text, whether it exists yet or not. Costs a
// look at every folder on the way, so only comparisons ask for it.
std::string ComparablePath(const OutputTarget& target);

// True when both names lead to one output: one descriptor, one resolved path, or one
// existing file (two hard links to it).
bool SameOutput(const std::string& a, const std::string& b);

}  // namespace pixorale
