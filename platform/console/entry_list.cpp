#include "platform/console/entry_list.h"

#include <memory>
#include <numeric>

namespace vandrel::console {

void EntryList::Clear() {
  entries_.clear();
  write_ = nullptr;
  ClearRows();
}

void EntryList::AddRows(const RowTexts& rows) {
  auto texts = std::make_shared<std::vector<std::wstring>>();
  rows.ForEach([&](std::wstring_view row) { texts->emplace_back(row); });
  std::vector<int> places(texts->size());
  std::iota(places.begin(), places.end(), 0);
  AddEntryRows(std::move(places), [texts](std::wstring& text, int place) {
    text += (*texts)[static_cast<size_t>(place)];
  });
}

void EntryList::AddEntryRows(std::vector<int> entries, const RowWriter& write) {
  // One way of making texts serves all rows; the program refills the list whole.
  if (!entries_.empty()) Clear();
  AddUnselected(entries.size());
  entries_ = std::move(entries);
  write_ = write;
}

std::wstring EntryList::Row(int row) const {
  std::wstring text;
  write_(text, entries_.at(static_cast<size_t>(row)));
  return text;
}

}  // namespace vandrel::console
