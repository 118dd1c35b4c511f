// vandrel-cli as the kill tests run it: the real commands on the real file system, except that
// with VANDREL_KILL_AFTER=N in the environment the process kills itself right after its Nth
// file operation, as a user's kill or a crash would, leaving the files as they are.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/cli.h"
#include "platform/scripted/faulty_file_system.h"

int main(int argc, char** argv) {
  auto native = vandrel::MakeNativeFileSystem();
  vandrel::scripted::FaultyFileSystem files(*native);
  if (const char* after = std::getenv("VANDREL_KILL_AFTER"))
    files.DieAfter(std::atoi(after), [] { ::kill(::getpid(), SIGKILL); });
  return vandrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                              false, files);
}
