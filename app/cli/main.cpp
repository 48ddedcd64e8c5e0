#include "app/cli/run_cli.h"

int main(int argc, char** argv) {
  return pixorale::cli::RunCli(argc, argv);
}
