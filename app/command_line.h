#pragma once
// The program's arguments from the command line as the system hands it over.
#include <string>
#include <vector>

namespace vandrel {

// The arguments after the program name. Arguments are split at blanks outside double quotes,
// and the quotes are removed, so a quoted path with blanks arrives as one argument.
std::vector<std::wstring> ProgramArguments(const std::wstring& commandLine);

}  // namespace vandrel
