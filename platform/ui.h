#pragma once
// The seam between the portable program and the window system. The real implementation
// translates to Win32; the scripted one records and answers for the native tests.
#include <cstdint>
#include <functional>
#include <optional>
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
  virtual void AddRows(const RowTexts& rows) = 0;
  // One row per entry of `entries`, in that order. A list that keeps its rows' texts makes
  // them all here; one that is never drawn may keep the entry numbers and make a text only
  // when Row asks for it, so `write` must stay usable until the list is cleared.
  virtual void AddEntryRows(std::vector<int> entries, const RowWriter& write) {
    AddRows(RowTexts(entries, write));
  }
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
  virtual int TopIndex() const = 0;
  virtual void SetTopIndex(int row) = 0;
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

enum class TextColour { Normal, Highlight };

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
  virtual std::wstring Caption() const = 0;
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

enum class MessageKind { Warning, Error, Information, Confirmation };
enum class MessageResult { Ok, Yes, No };

struct FileFilter {
  std::wstring display, pattern;
};
// Every file. Without a trailing blank: Windows trims one off a pattern, Wine does not and then
// lists none.
inline constexpr wchar_t kEveryFilePattern[] = L"*.*";

struct OpenFileRequest {
  std::wstring title;
  std::vector<FileFilter> filters;
  std::wstring initialDir;
  std::wstring fileName;  // preset in the file-name box
  bool multiSelect = false;
  bool hideReadOnly = true;
  bool mustExist = true;
  bool resizable = true;
};

struct FolderRequest {
  std::wstring title;       // the text above the tree
  std::wstring caption;     // the browser window's caption
  std::wstring initialDir;  // preselected
};

struct FindDialogRequest {
  std::wstring text;
  bool hideMatchCase = true, hideWholeWord = true, hideUpDown = true;
};

// Handlers of the modeless find dialog.
struct FindDialogEvents {
  std::function<void()> onShow;
  std::function<void()> onClose;
  std::function<void(const std::wstring& text)> onFind;
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Modal, centred; the kind gives icon and buttons.
  virtual MessageResult MessageBox(MessageKind kind, const std::wstring& caption,
                                   const std::wstring& text) = 0;
  // Full paths of the chosen files, or nothing when cancelled.
  virtual std::optional<std::vector<std::wstring>> OpenFile(const OpenFileRequest& request) = 0;
  // The chosen folder's file-system path, or nothing when cancelled.
  virtual std::optional<std::wstring> BrowseForFolder(const FolderRequest& request) = 0;
  // The edited text when OK was pressed.
  virtual std::optional<std::wstring> InputBox(const std::wstring& caption,
                                               const std::wstring& prompt,
                                               const std::wstring& text) = 0;
  // Shows the find dialog without waiting; the events arrive through the message loop.
  virtual void ShowFindDialog(const FindDialogRequest& request, FindDialogEvents events) = 0;
  // Asks the open find dialog to close once control returns to the message loop.
  virtual void CloseFindDialog() = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Hands a file (a program, a document or a web address) to the shell with a verb, with no
  // owner window and the normal show state; the result is not examined.
  virtual void Execute(const std::wstring& verb, const std::wstring& file,
                       const std::wstring& parameters) = 0;
};

// A control's place in its window's client area, in pixels.
struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Bounds&) const = default;
};

enum class ControlKind {
  GroupBox,
  CheckBox,
  Button,   // a push button that is never the window's default or cancel button
  AppIcon,  // the application's icon
  Label,    // centred text of fixed size, line feeds breaking lines
  Link,     // a centred label in blue, underlined, with a hand-shaped pointer; clickable
};

struct ControlDesign {
  int id;
  ControlKind kind;
  Bounds bounds;
  std::wstring text;
};

// A small fixed-size tool window (small title bar with a close box), font "MS Sans Serif"
// 8 pt. Its controls stand in tab order.
struct ToolWindowDesign {
  std::wstring caption;
  int clientWidth = 0, clientHeight = 0;
  std::vector<ControlDesign> controls;
};

enum class ModalResult { Ok, Cancel };

// A tool window while it is shown, as its event handlers see it.
class IToolWindow {
 public:
  virtual ~IToolWindow() = default;
  virtual void SetIconFromResource() = 0;
  virtual void CentreOnScreen() = 0;
  virtual bool IsChecked(int control) const = 0;
  virtual void SetChecked(int control, bool checked) = 0;
  // Ends the modal loop with this result once the handler returns.
  virtual void EndModal(ModalResult result) = 0;
};

struct ToolWindowEvents {
  std::function<void(IToolWindow&)> onCreate;
  // A button, check box or link was clicked.
  std::function<void(IToolWindow&, int control)> onClick;
};

class IToolWindows {
 public:
  virtual ~IToolWindows() = default;
  // Creates the window hidden, runs onCreate, shows it modally and releases it when it ends;
  // the close box ends it with Cancel. Enter acts only on a focused button; Esc does nothing.
  virtual ModalResult ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) = 0;
};

// The borderless black splash window with the splash picture at 1, 1 and a red progress bar
// over it. Not modal: it lives on through the message loop until it is released.
class ISplashWindow {
 public:
  virtual ~ISplashWindow() = default;
  // Creates it hidden, the picture in place.
  virtual void Create() = 0;
  virtual int PictureWidth() const = 0;
  virtual int PictureHeight() const = 0;
  virtual void SetIconFromResource() = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual int ClientHeight() const = 0;
  virtual void CentreOnScreen() = 0;
  virtual void SetProgressBounds(const Bounds& bounds) = 0;
  virtual void Show() = 0;
  // Closes and destroys it.
  virtual void Release() = 0;
};

class ITimers {
 public:
  virtual ~ITimers() = default;
  virtual void Start(int id, unsigned intervalMs, std::function<void()> onTick) = 0;
  virtual void Stop(int id) = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // Appends to `keys` a key whose byte order is the user's locale order of the texts, ignoring
  // case: the system compares its keys exactly as it compares the texts, and far faster when
  // sorting many. Keys appended one after another make one block for a whole list.
  virtual void AppendSortKey(std::string& keys, const std::wstring& text) const = 0;
  // Milliseconds since the system started, 32 bits, wrapping.
  virtual uint32_t TickCount() const = 0;
  // A seed for the pseudo-random generator, taken from the clock.
  virtual uint32_t ClockSeed() const = 0;
  // Returns once about `ms` milliseconds have passed on that clock.
  virtual void Wait(uint32_t ms) = 0;
};

}  // namespace vandrel
