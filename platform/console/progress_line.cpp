#include "platform/console/progress_line.h"

#include <algorithm>
#include <cwctype>

#include "platform/utf8.h"

namespace vandrel::console {
namespace {

constexpr int kBarWidth = 30;

struct Count {
  std::wstring words;
  long long done = 0, total = 0;
};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The last "n/m" of the text and the words before it; total stays 0 when there is none.
Count FindCount(const std::wstring& text) {
  Count count;
  const size_t slash = text.rfind(L'/');
  if (slash == std::wstring::npos || slash == 0 || slash + 1 >= text.size()) return count;
  size_t first = slash, last = slash + 1;
  while (first > 0 && IsDigit(text[first - 1])) --first;
  while (last < text.size() && IsDigit(text[last])) ++last;
  if (first == slash || last == slash + 1 || slash - first > 9 || last - slash > 10) return count;
  count.done = std::stoll(text.substr(first, slash - first));
  count.total = std::stoll(text.substr(slash + 1, last - slash - 1));
  std::wstring words = text.substr(0, first);
  while (!words.empty() && std::iswspace(words.back())) words.pop_back();
  count.words = words;
  return count;
}

std::wstring Bar(long long done, long long total) {
  const long long filled = done >= total ? kBarWidth : done * kBarWidth / total;
  return L"[" + std::wstring(static_cast<size_t>(filled), L'#') +
         std::wstring(static_cast<size_t>(kBarWidth - filled), L'.') + L"]";
}

}  // namespace

void ProgressLine::Show(const std::wstring& status) {
  if (!enabled_) return;
  const Count count = FindCount(status);
  if (count.total <= 0) return;
  // Redrawn once per percent: a terminal drawing every one of 100,000 steps slows the work.
  const long long percent = std::min(count.done, count.total) * 100 / count.total;
  std::wstring key = count.words + L"\n" + std::to_wstring(percent);
  if (key == drawnKey_ && count.done != count.total) return;
  const std::wstring line = count.words + L" " + Bar(count.done, count.total) + L" " +
                            std::to_wstring(count.done) + L"/" + std::to_wstring(count.total);
  // A shorter line than the last one drawn blanks the rest of it.
  const std::string padding(width_ > line.size() ? width_ - line.size() : 0, ' ');
  stream_ << '\r' << ToUtf8(line) << padding << std::flush;
  drawnKey_ = std::move(key);
  width_ = line.size();
}

void ProgressLine::Clear() {
  if (width_ == 0) return;
  stream_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  drawnKey_.clear();
  width_ = 0;
}

}  // namespace vandrel::console
