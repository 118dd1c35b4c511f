#pragma once
// Entry lists held in memory: the scripted platform's for the tests, and one nobody sees, for
// the console, whose selection the command line sets, and the fuzzers.
#include <string>
#include <vector>

#include "platform/window.h"

namespace vandrel {

// The selection, caret and focus of a list in memory; its rows are the subclass's.
class MemorySelection : public IListBox {
 public:
  int Count() const final { return static_cast<int>(selected_.size()); }
  bool IsSelected(int row) const final { return selected_.at(static_cast<size_t>(row)); }
  void SetSelected(int row, bool selected) final;
  void SelectAll(bool selected) final;
  int SelectedCount() const final;
  std::vector<int> SelectedRows() const final;
  int Caret() const final { return caret_; }
  void SetCaret(int row) final { caret_ = row; }
  void SetEnabled(bool enabled) final;
  void Focus() final { focused_ = enabled_; }

  bool enabled() const { return enabled_; }
  bool hasFocus() const { return focused_; }
  // Rows whose selection the program set one by one, all rows counted together.
  int singleSelections() const { return singleSelections_; }
  // What a user's click or keyboard selection leaves: these rows selected, the caret on `caret`.
  void UserSelect(const std::vector<int>& rows, int caret);

 protected:
  // No rows, none selected, the caret back at the top.
  void ClearRows();
  // `count` more rows at the end, not selected.
  void AddUnselected(size_t count) { selected_.resize(selected_.size() + count, false); }

 private:
  std::vector<bool> selected_;
  int caret_ = 0, singleSelections_ = 0;
  bool enabled_ = true, focused_ = true;
};

// Every row's text kept, as the window's list keeps them: end to end in one block, so a refill
// costs two allocations, not one a row.
class MemoryList final : public MemorySelection {
 public:
  void Clear() override;
  void AddEntryRows(std::vector<int> entries, const RowWriter& write) override {
    AddRows(RowTexts(entries, write));
  }
  std::wstring Row(int row) const override;

  void AddRows(const RowTexts& rows);
  std::vector<std::wstring> rows() const;

 private:
  std::wstring texts_;
  std::vector<size_t> ends_;  // where each row's text ends in `texts_`
};

// A list nobody sees keeps its rows as entry numbers and makes a row's text only when a
// command asks for one: a million rows cost 4 MB, not some 300.
class EntryList final : public MemorySelection {
 public:
  void Clear() override;
  void AddEntryRows(std::vector<int> entries, const RowWriter& write) override;
  std::wstring Row(int row) const override;

  // The number each row was added with, top to bottom: its entry's, for entry rows.
  const std::vector<int>& entries() const { return entries_; }

 private:
  std::vector<int> entries_;
  RowWriter write_;
};

}  // namespace vandrel
