#pragma once
// Entries as the command line names them: a name that may hold the wildcards "*" (any run of
// characters) and "?" (any one), compared with the Latin letters folded as Find folds them; or
// "#N" for entry N, whatever its name. Names need not be unique, so a name may mean several.
#include <string>
#include <vector>

#include "archive/img_format.h"

namespace vandrel::cli {

bool NameMatches(const std::wstring& name, const std::wstring& pattern);

// The entries one pattern names, ascending; none is no error here.
std::vector<int> MatchEntries(const std::vector<TIMGFileEntry>& files, const std::wstring& pattern);

// Every entry any of the patterns names, ascending, once each; a pattern naming none raises.
std::vector<int> MatchAll(const std::vector<TIMGFileEntry>& files,
                          const std::vector<std::wstring>& patterns);

// The one entry the pattern names; naming none or several raises, the latter listing them.
int MatchOne(const std::vector<TIMGFileEntry>& files, const std::wstring& pattern);

}  // namespace vandrel::cli
