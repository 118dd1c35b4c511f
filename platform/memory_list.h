#pragma once
// An entry list held in memory: the scripted platform's for the tests, and the console's, whose
// selection the command line sets.
#include <string>
#include <vector>

#include "platform/ui.h"

namespace vandrel {

class MemoryList final : public IListBox {
 public:
  void Clear() override;
  void AddRows(const RowTexts& rows) override;
  int Count() const override { return static_cast<int>(rows_.size()); }
  std::wstring Row(int row) const override { return rows_.at(static_cast<size_t>(row)); }
  bool IsSelected(int row) const override { return selected_.at(static_cast<size_t>(row)); }
  void SetSelected(int row, bool selected) override;
  void SelectAll(bool selected) override;
  int SelectedCount() const override;
  std::vector<int> SelectedRows() const override;
  int Caret() const override { return caret_; }
  void SetCaret(int row) override { caret_ = row; }
  int TopIndex() const override { return top_; }
  void SetTopIndex(int row) override { top_ = row; }
  void SetEnabled(bool enabled) override;
  void Focus() override { focused_ = enabled_; }

  bool enabled() const { return enabled_; }
  bool hasFocus() const { return focused_; }
  // Rows whose selection the program set one by one, all rows counted together.
  int singleSelections() const { return singleSelections_; }
  const std::vector<std::wstring>& rows() const { return rows_; }
  // What a user's click or keyboard selection leaves: these rows selected, the caret on `caret`.
  void UserSelect(const std::vector<int>& rows, int caret);

 private:
  std::vector<std::wstring> rows_;
  std::vector<bool> selected_;
  int caret_ = 0, top_ = 0, singleSelections_ = 0;
  bool enabled_ = true, focused_ = true;
};

}  // namespace vandrel
