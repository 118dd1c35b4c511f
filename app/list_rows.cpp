#include "app/list_rows.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "archive/img_archive.h"

namespace vandrel {
namespace {

// Rows are built 100,000 at a time: digits go straight into the row, with no formatting
// call and no temporary string per piece.
void AppendDecimal(std::wstring& text, int64_t value) {
  wchar_t digits[20];
  int count = 0;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) text += L'-';
  while (count > 0) text += digits[--count];
}

void AppendOffsetHex(std::wstring& text, int32_t offset) {
  int64_t position = int64_t{offset} * kSectorSize;
  // A damaged, negative offset shows as its unsigned 32-bit byte position.
  uint64_t shown = position < 0 ? uint32_t(position) : uint64_t(position);
  int digits = 8;
  while (digits < 16 && (shown >> (4 * digits)) != 0) ++digits;
  for (int digit = digits - 1; digit >= 0; --digit)
    text += L"0123456789ABCDEF"[(shown >> (4 * digit)) & 0xF];
}

// Keys compared eight bytes at a time: the names of an archive often share long beginnings,
// and the runtime's byte-wise comparison made up most of the sort.
bool KeyBefore(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  size_t at = 0;
  for (; at + 8 <= common; at += 8) {
    uint64_t x, y;
    std::memcpy(&x, a.data() + at, 8);
    std::memcpy(&y, b.data() + at, 8);
    if (x != y) break;
  }
  for (; at < common; ++at)
    if (a[at] != b[at])
      return static_cast<unsigned char>(a[at]) < static_cast<unsigned char>(b[at]);
  return a.size() < b.size();
}

}  // namespace

std::wstring OffsetHex(int32_t offset) {
  std::wstring text;
  AppendOffsetHex(text, offset);
  return text;
}

void AppendRowText(std::wstring& text, int index, const TIMGFileEntry& entry) {
  AppendDecimal(text, index);
  text += L'%';
  AppendNameText(text, entry);
  text += L'?';
  AppendOffsetHex(text, entry.Offset);
  text += L'/';
  AppendDecimal(text, int64_t{entry.Size} * 2);
  text += L" kb";
}

std::wstring RowText(int index, const TIMGFileEntry& entry) {
  std::wstring text;
  AppendRowText(text, index, entry);
  return text;
}

std::vector<int> NameOrder(const std::vector<TIMGFileEntry>& files, const ISystem& system) {
  // The keys lie in one block: a string each would cost an allocation apiece and scatter the
  // sort's comparisons over the heap.
  std::string keys;
  std::vector<size_t> starts;
  starts.reserve(files.size() + 1);
  std::wstring text;
  for (size_t i = 0; i < files.size(); ++i) {
    text.clear();
    AppendNameText(text, files[i]);
    text += L'%';
    AppendDecimal(text, static_cast<int64_t>(i));
    starts.push_back(keys.size());
    system.AppendSortKey(keys, text);
  }
  starts.push_back(keys.size());

  struct Keyed {
    std::string_view key;
    int index;
  };
  std::vector<Keyed> keyed(files.size());
  for (size_t i = 0; i < files.size(); ++i)
    keyed[i] = {std::string_view(keys).substr(starts[i], starts[i + 1] - starts[i]),
                static_cast<int>(i)};
  std::sort(keyed.begin(), keyed.end(),
            [](const Keyed& a, const Keyed& b) { return KeyBefore(a.key, b.key); });
  std::vector<int> order;
  order.reserve(keyed.size());
  for (const Keyed& k : keyed) order.push_back(k.index);
  return order;
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
