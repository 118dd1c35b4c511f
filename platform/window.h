#pragma once
// The main window as the program drives it: its frame, the entry list, the status bar and the
// menus, and the canvas a row is drawn on. The real implementation translates to Win32; the
// scripted one records and answers for the native tests.
#include <functional>
#include <string>
#include <vector>

#include "platform/row_texts.h"

namespace vandrel {

// Writes behind `text` the text of the row that shows entry `index`.
using RowWriter = std::function<void(std::wstring& text, int index)>;

class IListBox {
 public:
  virtual ~IListBox() = default;
  virtual void Clear() = 0;
  // One row per entry of `entries`, in that order. A list that keeps its rows' texts makes
  // them all here; one that is never drawn may keep the entry numbers and make a text only
  // when Row asks for it, so `write` must stay usable until the list is cleared.
  virtual void AddEntryRows(std::vector<int> entries, const RowWriter& write) = 0;
  virtual int Count() const = 0;
  virtual std::wstring Row(int row) const = 0;
  virtual bool IsSelected(int row) const = 0;
  // Sets one row's selection without touching the others; sends no click notification.
  virtual void SetSelected(int row, bool selected) = 0;
  // Sets every row's selection at once, the caret staying where it is.
  virtual void SelectAll(bool selected) = 0;
  virtual int SelectedCount() const = 0;
  // The selected rows, top to bottom, asked for at once.
  virtual std::vector<int> SelectedRows() const = 0;
  // The row holding the focus rectangle; 0 for an empty list.
  virtual int Caret() const = 0;
  // Moves the focus rectangle and scrolls the row into view.
  virtual void SetCaret(int row) = 0;
  // Disabling the list takes the keyboard focus from it, as the system does.
  virtual void SetEnabled(bool enabled) = 0;
  // Gives the list the keyboard focus while its window is the active one; an inactive window
  // gives it to the list itself once it is activated.
  virtual void Focus() = 0;
};

class IStatusBar {
 public:
  virtual ~IStatusBar() = default;
  virtual void SetText(int panel, const std::wstring& text) = 0;
  virtual std::wstring Text(int panel) const = 0;
  virtual void SetPanelWidth(int panel, int width) = 0;
  virtual int Height() const = 0;
};

// Menu items are named by the program's own numbers; the platform only stores their state.
class IMenus {
 public:
  virtual ~IMenus() = default;
  virtual void SetEnabled(int item, bool enabled) = 0;
  virtual bool IsEnabled(int item) const = 0;
  virtual void SetChecked(int item, bool checked) = 0;
  virtual bool IsChecked(int item) const = 0;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// A drawing surface with the window's (or list's) font; colours follow the row state.
class ICanvas {
 public:
  virtual ~ICanvas() = default;
  virtual void FillRect(const Rect& rect) = 0;
  virtual void SetBold(bool bold) = 0;
  virtual void SetTransparent(bool transparent) = 0;
  virtual void TextOut(int x, int y, const std::wstring& text) = 0;
};

enum class Cursor { Default, Hourglass };

class IWindow {
 public:
  virtual ~IWindow() = default;
  virtual void SetCaption(const std::wstring& caption) = 0;
  virtual void SetAppTitle(const std::wstring& title) = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  // Lets pending window messages run, so the window repaints during a long operation.
  virtual void ProcessMessages() = 0;
  virtual int OuterWidth() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetListBounds(int left, int top, int width, int height) = 0;
  virtual void SetIconFromResource() = 0;
  virtual void CentreOnScreen() = 0;
  virtual void Show() = 0;
  virtual void Close() = 0;
};

}  // namespace vandrel
