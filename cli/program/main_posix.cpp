// vandrel-cli's entry on POSIX systems: arguments arrive as UTF-8 bytes.
#include <clocale>
#include <iostream>

#include "cli/cli.h"
#include "platform/console/console_ui.h"

int main(int argc, char** argv) {
  // The user's collation and letter case order `list --sort name`; nothing else follows them.
  std::setlocale(LC_COLLATE, "");
  std::setlocale(LC_CTYPE, "");
  // Nothing here writes through C's streams; a listing of 100,000 lines is far quicker so.
  std::ios::sync_with_stdio(false);
  auto files = vandrel::MakeNativeFileSystem();
  return vandrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                              vandrel::console::ErrorStreamIsTerminal(), *files);
}
