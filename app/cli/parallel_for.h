#pragma once

#include <cstddef>
#include <functional>

namespace pixorale::cli {

// Calls work(i) for every i from 0 to count - 1 on up to `workers` threads; each thread takes
// the next index until none is left. Returns when every call has returned.
void ParallelFor(size_t count, unsigned workers, const std::function<void(size_t)>& work);

}  // namespace pixorale::cli
