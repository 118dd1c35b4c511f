#pragma once
// vandrel-cli: the window's commands from the command line.
#include <ostream>
#include <string>
#include <vector>

#include "platform/file.h"

namespace vandrel::cli {

// Runs one command line (the arguments after the program's name, in UTF-8) and returns the
// exit status. Results go to `out`, messages to `err`, and a progress line to `err` as well
// when `progress` is set.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool progress, IFileSystem& files);

}  // namespace vandrel::cli
