#include "platform/win32/list_box_win32.h"

namespace vandrel::win32 {

void ListBox::Create(HWND parent, HINSTANCE instance, HFONT font, int controlId) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
  list_ =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  Send(LB_SETITEMHEIGHT, 0, kRowHeight);
}

void ListBox::Clear() { Send(LB_RESETCONTENT); }

void ListBox::AddRows(const RowTexts& rows) {
  // One allocation up front and no repainting per row keep a list of 100,000 rows quick.
  Send(LB_INITSTORAGE, rows.Count(), rows.Size() * sizeof(wchar_t));
  Send(WM_SETREDRAW, FALSE);
  rows.ForEach(
      [&](std::wstring_view row) { Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.data())); });
  Send(WM_SETREDRAW, TRUE);
  InvalidateRect(list_, nullptr, TRUE);
}

int ListBox::RowAt(POINT screen) const {
  // Counted from the rows' fixed height: the list's own hit test answers in 16 bits.
  ScreenToClient(list_, &screen);
  RECT client;
  GetClientRect(list_, &client);
  if (!PtInRect(&client, screen)) return -1;
  int row = TopIndex() + screen.y / kRowHeight;
  return row < Count() ? row : -1;
}

int ListBox::Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }

std::wstring ListBox::Row(int row) const {
  LRESULT length = Send(LB_GETTEXTLEN, row);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = Send(LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
  return text;
}

bool ListBox::IsSelected(int row) const { return Send(LB_GETSEL, row) > 0; }

void ListBox::SetSelected(int row, bool selected) { Send(LB_SETSEL, selected, row); }

// Row -1 stands for every row: one message, one repaint.
void ListBox::SelectAll(bool selected) { Send(LB_SETSEL, selected, -1); }

int ListBox::SelectedCount() const {
  LRESULT count = Send(LB_GETSELCOUNT);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::vector<int> ListBox::SelectedRows() const {
  std::vector<int> rows(static_cast<size_t>(SelectedCount()));
  if (rows.empty()) return rows;
  LRESULT count = Send(LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  rows.resize(count == LB_ERR ? 0 : static_cast<size_t>(count));
  return rows;
}

int ListBox::Caret() const {
  if (Count() == 0) return 0;
  LRESULT caret = Send(LB_GETCARETINDEX);
  return caret == LB_ERR ? 0 : static_cast<int>(caret);
}

void ListBox::SetCaret(int row) { Send(LB_SETCARETINDEX, row, FALSE); }

void ListBox::SetEnabled(bool enabled) { EnableWindow(list_, enabled); }

void ListBox::Focus() {
  // Taking the focus would activate an inactive window, and steal it from an open find dialog.
  if (GetActiveWindow() == GetAncestor(list_, GA_ROOT)) SetFocus(list_);
}

}  // namespace vandrel::win32
