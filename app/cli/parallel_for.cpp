#include "app/cli/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace pixorale::cli {

void ParallelFor(size_t count, unsigned workers, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  const auto drain = [&next, count, &work] {
    for (size_t i = next++; i < count; i = next++) work(i);
  };
  const size_t threads = std::min<size_t>(std::max(workers, 1u), count);
  if (threads <= 1) {
    drain();
    return;
  }
  // The calling thread works too; the others join when the vector goes out of scope.
  std::vector<std::jthread> helpers;
  helpers.reserve(threads - 1);
  for (size_t t = 1; t < threads; ++t) helpers.emplace_back(drain);
  drain();
}

}  // namespace pixorale::cli
