// Writes the page's facts module: pixorale-page-facts FILE
#include <fstream>
#include <iostream>

#include "page_facts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: pixorale-page-facts FILE\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << pixorale::web::PageFactsModule();
  out.close();
  if (!out) {
    std::cerr << "pixorale-page-facts: " << argv[1] << ": cannot be written\n";
    return 1;
  }
  return 0;
}
