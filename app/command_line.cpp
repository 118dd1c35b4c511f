#include "app/command_line.h"

namespace vandrel {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::vector<std::wstring> Split(const std::wstring& commandLine) {
  std::vector<std::wstring> arguments;
  size_t at = 0;
  for (;;) {
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    if (at == commandLine.size()) return arguments;
    std::wstring argument;
    bool quoted = false;
    for (; at < commandLine.size() && (quoted || !IsBlank(commandLine[at])); ++at) {
      if (commandLine[at] == L'"')
        quoted = !quoted;
      else
        argument += commandLine[at];
    }
    arguments.push_back(std::move(argument));
  }
}

}  // namespace

std::vector<std::wstring> ProgramArguments(const std::wstring& commandLine) {
  std::vector<std::wstring> arguments = Split(commandLine);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace vandrel
