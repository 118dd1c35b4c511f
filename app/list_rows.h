#pragma once
// The text of one list row: index "%" name "?" offset in hex "/" size in kb " kb". The index
// maps the row back to its entry whatever the order; the drawing takes the rest apart. And the
// rows' name order.
#include <string>
#include <vector>

#include "archive/img_format.h"
#include "platform/services.h"

namespace vandrel {

std::wstring RowText(int index, const TIMGFileEntry& entry);
void AppendRowText(std::wstring& text, int index, const TIMGFileEntry& entry);
// The entries' indices in name order: by the system's collation of the name, "%" and the
// index, case ignored. The index makes every text unique, so equal names fall in the order of
// their indices compared as text (10 before 9).
std::vector<int> NameOrder(const std::vector<TIMGFileEntry>& files, const ISystem& system);
// The byte offset as the row shows it: 8 hex digits, more only at or above 4 GiB.
std::wstring OffsetHex(int32_t offset);

struct RowColumns {
  std::wstring name, offset, size;
};
// Splits a row text into its drawn columns. The offset and size never hold "?" or "/", so
// taking them from the right keeps names holding those characters whole.
RowColumns SplitRow(const std::wstring& rowText);

}  // namespace vandrel
