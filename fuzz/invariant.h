#pragma once

#include <cstdio>
#include <cstdlib>

namespace pixorale::fuzz {

// A broken invariant is a finding: abort so that libFuzzer keeps the input that caused it.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace pixorale::fuzz
