#include <malloc.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/run_cli.h"

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Each picture allocates and frees the same large blocks again (event lists, the writer's
  // buffer). By default glibc maps such blocks afresh and hands freed memory back, so every
  // picture pays its page faults anew; kept in the heap they are reused, and a batch of
  // 2000-column pictures converts several times faster (bench/cli_parallel.sh).
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  const std::vector<std::string> arguments(argv, argv + argc);
  return pixorale::cli::RunCli(arguments, {std::cout, std::cerr, isatty(STDERR_FILENO) != 0});
}
