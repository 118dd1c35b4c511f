#include "platform/memory_list.h"

#include <algorithm>

namespace vandrel {

void MemorySelection::ClearRows() {
  selected_.clear();
  caret_ = 0;
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
  texts_.clear();
  ends_.clear();
  ClearRows();
}

void MemoryList::AddRows(const RowTexts& rows) {
  texts_.reserve(texts_.size() + rows.Size());
  ends_.reserve(ends_.size() + rows.Count());
  rows.ForEach([this](std::wstring_view row) {
    texts_ += row;
    ends_.push_back(texts_.size());
  });
  AddUnselected(rows.Count());
}

std::wstring MemoryList::Row(int row) const {
  const size_t end = ends_.at(static_cast<size_t>(row));
  const size_t start = row == 0 ? 0 : ends_[static_cast<size_t>(row) - 1];
  return texts_.substr(start, end - start);
}

std::vector<std::wstring> MemoryList::rows() const {
  std::vector<std::wstring> rows;
  for (int row = 0; row < Count(); ++row) rows.push_back(Row(row));
  return rows;
}

void EntryList::Clear() {
  entries_.clear();
  write_ = nullptr;
  ClearRows();
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

}  // namespace vandrel
