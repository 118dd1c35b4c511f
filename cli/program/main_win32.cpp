// vandrel-cli's entry on Windows: wide arguments, passed on as UTF-8, and UTF-8 output.
#include <windows.h>

#include <iostream>

#include "cli/cli.h"
#include "platform/console/console_ui.h"
#include "platform/utf8.h"

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  // Nothing here writes through C's streams; a listing of 100,000 lines is far quicker so.
  std::ios::sync_with_stdio(false);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(vandrel::ToUtf8(argv[i]));
  auto files = vandrel::MakeNativeFileSystem();
  return vandrel::cli::RunCli(arguments, std::cout, std::cerr,
                              vandrel::console::ErrorStreamIsTerminal(), *files);
}
