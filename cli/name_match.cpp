#include "cli/name_match.h"

#include <algorithm>

#include "app/latin_case.h"
#include "platform/errors.h"

namespace vandrel::cli {
namespace {

// Ambiguous matches are listed up to this many; the rest are counted.
constexpr size_t kListedMatches = 10;

// "#" and digits only; -1 for anything else.
long long EntryNumber(const std::wstring& pattern) {
  if (pattern.size() < 2 || pattern.size() > 11 || pattern[0] != L'#') return -1;
  long long number = 0;
  for (size_t i = 1; i < pattern.size(); ++i) {
    if (pattern[i] < L'0' || pattern[i] > L'9') return -1;
    number = number * 10 + (pattern[i] - L'0');
  }
  return number;
}

}  // namespace

// The usual greedy match: on a mismatch, the last "*" takes one character more.
bool NameMatches(const std::wstring& name, const std::wstring& pattern) {
  size_t n = 0, p = 0, starAt = std::wstring::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() &&
               (pattern[p] == L'?' || UpperLatin(pattern[p]) == UpperLatin(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::wstring::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

std::vector<int> MatchEntries(const std::vector<TIMGFileEntry>& files,
                              const std::wstring& pattern) {
  const long long number = EntryNumber(pattern);
  if (number >= 0)
    return number < static_cast<long long>(files.size()) ? std::vector<int>{int(number)}
                                                         : std::vector<int>{};
  std::vector<int> matches;
  for (size_t i = 0; i < files.size(); ++i)
    if (NameMatches(NameText(files[i]), pattern)) matches.push_back(static_cast<int>(i));
  return matches;
}

std::vector<int> MatchAll(const std::vector<TIMGFileEntry>& files,
                          const std::vector<std::wstring>& patterns) {
  std::vector<int> all;
  for (const auto& pattern : patterns) {
    std::vector<int> matches = MatchEntries(files, pattern);
    if (matches.empty()) throw AppError(L"No entry matches " + Quoted(pattern));
    all.insert(all.end(), matches.begin(), matches.end());
  }
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return all;
}

int MatchOne(const std::vector<TIMGFileEntry>& files, const std::wstring& pattern) {
  const std::vector<int> matches = MatchAll(files, {pattern});
  if (matches.size() == 1) return matches.front();
  std::wstring message =
      Quoted(pattern) + L" matches " + std::to_wstring(matches.size()) + L" entries:\n";
  for (size_t i = 0; i < matches.size() && i < kListedMatches; ++i)
    message += L"  #" + std::to_wstring(matches[i]) + L" " + NameText(files[matches[i]]) + L"\n";
  if (matches.size() > kListedMatches)
    message += L"  and " + std::to_wstring(matches.size() - kListedMatches) + L" more\n";
  throw AppError(message + L"Name one of them by its index, such as #" +
                 std::to_wstring(matches.front()) + L".");
}

}  // namespace vandrel::cli
