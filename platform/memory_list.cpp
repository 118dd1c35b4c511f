#include "platform/memory_list.h"

#include <algorithm>

namespace vandrel {

void MemorySelection::ClearRows() {
  selected_.clear();
  caret_ = top_ = 0;
}

void MemorySelection::SetSelected(int row, bool selected) {
  ++singleSelections_;
  if (row >= 0 && row < Count()) selected_[static_cast<size_t>(row)] = selected;
}

void MemorySelection::SelectAll(bool selected) {
  std::fill(selected_.begin(), selected_.end(), selected);
}

void MemorySelection::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) focused_ = false;
}

int MemorySelection::SelectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

std::vector<int> MemorySelection::SelectedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < Count(); ++row)
    if (selected_[static_cast<size_t>(row)]) rows.push_back(row);
  return rows;
}

void MemorySelection::UserSelect(const std::vector<int>& rows, int caret) {
  std::fill(selected_.begin(), selected_.end(), false);
  for (int row : rows)
    if (row >= 0 && row < Count()) selected_[static_cast<size_t>(row)] = true;
  caret_ = caret;
}

void MemoryList::Clear() {
  rows_.clear();
  ClearRows();
}

void MemoryList::AddRows(const RowTexts& rows) {
  rows.ForEach([this](std::wstring_view row) { rows_.emplace_back(row); });
  AddUnselected(rows.Count());
}

}  // namespace vandrel
