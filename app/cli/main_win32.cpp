#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/run_cli.h"
#include "io/wide_text_win32.h"

// The arguments arrive as UTF-16 and are handed on as UTF-8, so file names in any script
// survive whatever the system's ANSI code page is.
int wmain(int argc, wchar_t** argv) {
  // MIDI bytes on standard output must not have 0A turned into 0D 0A, nor a 1A end them.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  // Messages name files in UTF-8; a console shows them right in its UTF-8 code page.
  SetConsoleOutputCP(CP_UTF8);

  std::vector<std::string> arguments;
  arguments.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(pixorale::ToUtf8(argv[i]));
  return pixorale::cli::RunCli(arguments, {std::cout, std::cerr, _isatty(_fileno(stderr)) != 0});
}
