#include "platform/memory_list.h"

#include <algorithm>

namespace vandrel {

void MemoryList::Clear() {
  rows_.clear();
  selected_.clear();
  caret_ = top_ = 0;
}

void MemoryList::AddRows(const std::vector<std::wstring>& rows) {
  rows_.insert(rows_.end(), rows.begin(), rows.end());
  selected_.resize(rows_.size(), false);
}

void MemoryList::SetSelected(int row, bool selected) {
  if (row >= 0 && row < Count()) selected_[static_cast<size_t>(row)] = selected;
}

int MemoryList::SelectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void MemoryList::UserSelect(const std::vector<int>& rows, int caret) {
  std::fill(selected_.begin(), selected_.end(), false);
  for (int row : rows) SetSelected(row, true);
  caret_ = caret;
}

}  // namespace vandrel
