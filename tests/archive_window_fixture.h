#pragma once
// The main window with a small archive of named entries open, and views of its list.
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace vandrel::testing {

class ArchiveWindowTest : public WindowTest {
 protected:
  // Opens a version-2 archive whose entries carry these names (bytes in the ANSI code page).
  void OpenNames(const std::vector<std::string>& names) {
    std::vector<EntryRecord> entries;
    for (size_t i = 0; i < names.size(); ++i)
      entries.push_back({names[i], static_cast<int32_t>(1 + i), 1});
    fm.DoOpenArchive(MakeV2(tmp, "names.img", entries, Bytes((1 + names.size()) * 2048)));
  }

  std::vector<int> SelectedRows() const { return sp.list.SelectedRows(); }

  // The entry index shown in each row, top to bottom.
  std::vector<int> RowIndices() {
    std::vector<int> indices;
    for (int row = 0; row < sp.list.Count(); ++row) indices.push_back(fm.GetFileIndex(row));
    return indices;
  }

  const std::vector<std::wstring>& StatusHistory() const { return sp.statusBar.history(); }
};

}  // namespace vandrel::testing
