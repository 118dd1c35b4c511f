#pragma once
// The entry list: an owner-drawn list box with fixed rows and extended selection. It keeps its
// row texts itself (so other programs can read them) and the program draws each row.
#include "platform/win32/windows_api.h"
#include "platform/window.h"

namespace vandrel::win32 {

class ListBox final : public IListBox {
 public:
  static constexpr int kRowHeight = 16;

  // Creates the control as a child of `parent`.
  void Create(HWND parent, HINSTANCE instance, HFONT font, int controlId);
  HWND handle() const { return list_; }
  // The row under a point of the screen; -1 outside the list or below its last row.
  int RowAt(POINT screen) const;
  void AddRows(const RowTexts& rows);

  void Clear() override;
  void AddEntryRows(std::vector<int> entries, const RowWriter& write) override {
    AddRows(RowTexts(entries, write));
  }
  int Count() const override;
  std::wstring Row(int row) const override;
  bool IsSelected(int row) const override;
  void SetSelected(int row, bool selected) override;
  void SelectAll(bool selected) override;
  int SelectedCount() const override;
  std::vector<int> SelectedRows() const override;
  int Caret() const override;
  void SetCaret(int row) override;
  void SetEnabled(bool enabled) override;
  void Focus() override;

 private:
  int TopIndex() const { return static_cast<int>(Send(LB_GETTOPINDEX)); }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(list_, message, wParam, lParam);
  }
  HWND list_ = nullptr;
};

}  // namespace vandrel::win32
