#include "app/cli/parallel_for.h"

namespace pixorale::cli {

// The page's core runs in one worker without threads of its own: one item after another.
void ParallelFor(size_t count, unsigned, const std::function<void(size_t)>& work) {
  for (size_t i = 0; i < count; ++i) work(i);
}

}  // namespace pixorale::cli
