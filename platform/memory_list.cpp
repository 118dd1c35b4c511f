#include "platform/memory_list.h"

#include <algorithm>

namespace vandrel {

void MemoryList::Clear() {
  rows_.clear();
  selected_.clear();
  caret_ = top_ = 0;
}

void MemoryList::AddRows(const RowTexts& rows) {
  rows.ForEach([this](std::wstring_view row) { rows_.emplace_back(row); });
  selected_.resize(rows_.size(), false);
}

void MemoryList::SetSelected(int row, bool selected) {
  ++singleSelections_;
  if (row >= 0 && row < Count()) selected_[static_cast<size_t>(row)] = selected;
}

void MemoryList::SelectAll(bool selected) {
  std::fill(selected_.begin(), selected_.end(), selected);
}

void MemoryList::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) focused_ = false;
}

int MemoryList::SelectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

std::vector<int> MemoryList::SelectedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < Count(); ++row)
    if (selected_[static_cast<size_t>(row)]) rows.push_back(row);
  return rows;
}

void MemoryList::UserSelect(const std::vector<int>& rows, int caret) {
  std::fill(selected_.begin(), selected_.end(), false);
  for (int row : rows)
    if (row >= 0 && row < Count()) selected_[static_cast<size_t>(row)] = true;
  caret_ = caret;
}

}  // namespace vandrel
