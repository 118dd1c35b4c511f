#pragma once
// The console's entry list. Nobody sees it, so it keeps its rows as entry numbers and makes a
// row's text only when a command asks for one: a million rows cost 4 MB, not some 300.
#include <string>
#include <vector>

#include "platform/memory_list.h"

namespace vandrel::console {

class EntryList final : public MemorySelection {
 public:
  void Clear() override;
  // Texts given whole are kept as they are, each row numbered by its place.
  void AddRows(const RowTexts& rows) override;
  void AddEntryRows(std::vector<int> entries, const RowWriter& write) override;
  std::wstring Row(int row) const override;

  // The number each row was added with, top to bottom: its entry's, for entry rows.
  const std::vector<int>& entries() const { return entries_; }

 private:
  std::vector<int> entries_;
  RowWriter write_;
};

}  // namespace vandrel::console
