#pragma once
// One command line, parsed.
#include <string>
#include <vector>

namespace vandrel::cli {

struct Request {
  std::string command;
  std::wstring archive;
  std::vector<std::wstring> names;  // extract's and delete's names and patterns
  std::vector<std::wstring> files;  // add's and import's files and folders
  std::wstring output;              // extract's folder
  std::wstring name, newName, file;
  bool json = false;
  bool sortByName = false;
  bool version2 = true;
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitProblems = 3;

}  // namespace vandrel::cli
