#include "app/list_rows.h"

#include <cwchar>

#include "archive/img_archive.h"

namespace vandrel {

std::wstring OffsetHex(int32_t offset) {
  int64_t position = int64_t{offset} * kSectorSize;
  // A damaged, negative offset shows as its unsigned 32-bit byte position.
  uint64_t shown = position < 0 ? uint32_t(position) : uint64_t(position);
  wchar_t buffer[24];
  std::swprintf(buffer, 24, L"%08llX", static_cast<unsigned long long>(shown));
  return buffer;
}

std::wstring RowText(int index, const TIMGFileEntry& entry) {
  return std::to_wstring(index) + L"%" + NameText(entry) + L"?" + OffsetHex(entry.Offset) + L"/" +
         std::to_wstring(int64_t{entry.Size} * 2) + L" kb";
}

RowColumns SplitRow(const std::wstring& rowText) {
  size_t slash = rowText.rfind(L'/');
  size_t question = slash == std::wstring::npos ? rowText.rfind(L'?') : rowText.rfind(L'?', slash);
  if (slash == std::wstring::npos || question == std::wstring::npos)
    return {ExtractBetween(rowText, L"%", L"?"), ExtractBetween(rowText, L"?", L"/"),
            ExtractAfter(rowText, L"/")};
  size_t percent = rowText.find(L'%');
  size_t nameStart = percent == std::wstring::npos || percent > question ? 0 : percent + 1;
  return {rowText.substr(nameStart, question - nameStart),
          rowText.substr(question + 1, slash - question - 1), rowText.substr(slash + 1)};
}

}  // namespace vandrel
