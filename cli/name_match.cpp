#include "cli/name_match.h"

#include <algorithm>
#include <unordered_map>

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

namespace {

// The entries' names, each decoded and folded once however many patterns are looked up; a name
// without wildcards is looked up in a hash of them rather than compared with every entry.
class EntryNames {
 public:
  explicit EntryNames(const std::vector<TIMGFileEntry>& files) : files_(files) {}

  std::vector<int> Match(const std::wstring& pattern) {
    const long long number = EntryNumber(pattern);
    if (number >= 0)
      return number < static_cast<long long>(files_.size()) ? std::vector<int>{int(number)}
                                                            : std::vector<int>{};
    if (pattern.find_first_of(L"*?") == std::wstring::npos) {
      const auto found = Literal().find(UpperLatin(pattern));
      return found == literal_.end() ? std::vector<int>{} : found->second;
    }
    std::vector<int> matches;
    const std::vector<std::wstring>& names = Folded();
    for (size_t i = 0; i < names.size(); ++i)
      if (NameMatches(names[i], pattern)) matches.push_back(static_cast<int>(i));
    return matches;
  }

 private:
  const std::vector<std::wstring>& Folded() {
    if (folded_.size() != files_.size()) {
      folded_.reserve(files_.size());
      for (const auto& file : files_) folded_.push_back(UpperLatin(NameText(file)));
    }
    return folded_;
  }
  // Each folded name with the entries that bear it, ascending.
  const std::unordered_map<std::wstring, std::vector<int>>& Literal() {
    if (literal_.empty()) {
      const std::vector<std::wstring>& names = Folded();
      literal_.reserve(names.size());
      for (size_t i = 0; i < names.size(); ++i) literal_[names[i]].push_back(static_cast<int>(i));
    }
    return literal_;
  }

  const std::vector<TIMGFileEntry>& files_;
  std::vector<std::wstring> folded_;
  std::unordered_map<std::wstring, std::vector<int>> literal_;
};

}  // namespace

std::vector<int> MatchEntries(const std::vector<TIMGFileEntry>& files,
                              const std::wstring& pattern) {
  return EntryNames(files).Match(pattern);
}

std::vector<int> MatchAll(const std::vector<TIMGFileEntry>& files,
                          const std::vector<std::wstring>& patterns) {
  EntryNames names(files);
  std::vector<int> all;
  for (const auto& pattern : patterns) {
    std::vector<int> matches = names.Match(pattern);
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
