#include <algorithm>

#include "archive/img_archive.h"

namespace vandrel {

TIMGArchive IMGArchive;

namespace {

// Where the text after `delimiter` begins. An absent delimiter counts as found at position 0
// with its own length, so a one-character delimiter yields the whole text.
size_t RestStart(const std::wstring& text, const std::wstring& delimiter) {
  size_t at = text.find(delimiter);
  size_t start = at == std::wstring::npos ? delimiter.size() - 1 : at + delimiter.size();
  return std::min(start, text.size());
}

}  // namespace

std::wstring ExtractBetween(const std::wstring& text, const std::wstring& first,
                            const std::wstring& second) {
  std::wstring rest = text.substr(RestStart(text, first));
  size_t end = rest.find(second);
  return end == std::wstring::npos ? std::wstring() : rest.substr(0, end);
}

std::wstring ExtractAfter(const std::wstring& text, const std::wstring& delimiter) {
  return text.substr(RestStart(text, delimiter));
}

}  // namespace vandrel
