#pragma once
// Drives the real Vandrel.exe from outside, through its windows, as a user (or the shell)
// would: start it with arguments, find its windows, read the list, the status bar and its
// message boxes, press their buttons, post keys and commands, fill the system dialogs, and
// read the registry it wrote. Every wait has a time limit; nothing here asserts.
//
// A case file (cases_*.cpp) uses the E2eTest fixture of e2e_fixture.h, which gives each case a
// clean registry and a folder of its own, and this header for everything else.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vandrel::e2e {

using Milliseconds = std::chrono::milliseconds;
inline constexpr Milliseconds kPatience{10000};
// A program's first window: on a loaded machine a new process under Wine now and then took
// more than ten seconds to show it, while the steps after it stayed within kPatience.
inline constexpr Milliseconds kStartPatience{30000};

// Polls `ready` until it holds or the time is up; returns its last answer.
bool WaitUntil(const std::function<bool()>& ready, Milliseconds timeout = kPatience);

// A host path as the program sees it: a Unix path (under Wine) becomes its Z: drive path.
std::wstring HostPath(const std::string& path);
// The program under test, as built beside this driver.
std::wstring VandrelPath();

// One started Vandrel.exe. It is ended by force if it is still running when this goes.
class Program {
 public:
  explicit Program(const std::vector<std::wstring>& arguments,
                   const std::wstring& exe = VandrelPath());
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  DWORD pid() const { return info_.dwProcessId; }
  HANDLE process() const { return info_.hProcess; }

  // The main window once it is on screen; nullptr when it does not appear in time.
  HWND MainWindow(Milliseconds timeout = kStartPatience) const;
  // The main window whether shown or not; nullptr when there is none yet.
  HWND HiddenMainWindow() const;
  // A visible top-level window of the program of this window class; nullptr when none appears
  // in time.
  HWND TopLevel(const std::wstring& className, Milliseconds timeout = kPatience) const;
  // A visible dialog box of the program (message box, system dialog, input box), optionally
  // with the given caption; nullptr when none appears in time.
  HWND Dialog(Milliseconds timeout = kPatience, const std::wstring& caption = {}) const;
  // An open menu of the program (a menu bar's drop-down or a shortcut menu); nullptr when none
  // appears in time.
  HWND OpenMenu(Milliseconds timeout = kPatience) const;
  // The entry list inside the main window.
  HWND List() const;
  HWND StatusBar() const;

  // A status panel's text, read through the program's own memory.
  std::wstring StatusText(int panel) const;
  // The right edges of the status panels (-1: to the end of the bar).
  std::vector<int> StatusPanelEdges() const;

  // Asks the main window to close, as its close box does.
  void Close() const;
  // The exit code once the program has ended; nothing when it is still running.
  std::optional<DWORD> WaitForExit(Milliseconds timeout = kPatience) const;

  // Selects `path` in an open folder browser (resending until its tree shows it) and presses
  // OK; false when the tree never reached the folder.
  bool ChooseFolder(HWND browser, const std::wstring& path) const;
  // The name of the folder selected in an open folder browser's tree; empty for none.
  std::wstring BrowserSelection(HWND browser) const;

 private:
  std::wstring TreeItemText(HWND tree, LRESULT treeItem) const;
  // Selects the folder of this name in the browser's tree among the children of the folder
  // shown or of its parent, as a click on it would; false when there is none.
  bool PickBesideSelection(HWND browser, const std::wstring& name) const;

  PROCESS_INFORMATION info_{};
};

// Texts and controls of any window.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The first descendant of `parent` of the window class `className` (and, when given, id).
HWND FindDescendant(HWND parent, const std::wstring& className, int id = -1);
// The text of a message box (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
// Presses a dialog's button by its id (IDOK, IDYES, IDNO, IDCANCEL ...).
void PressButton(HWND dialog, int id);
// Presses Cancel and waits until the dialog has gone; false if it stays.
bool CancelAndWait(HWND dialog);
// Outer and client rectangles in screen and client pixels.
RECT OuterRect(HWND window);
RECT ClientRect(HWND window);
bool IsEnabled(HWND window);

// The list box's rows and selection, read with the list's own messages.
int RowCount(HWND list);
std::vector<std::wstring> Rows(HWND list);
bool IsRowSelected(HWND list, int row);
int SelectedCount(HWND list);
int CaretRow(HWND list);

// Real input, as the user's keyboard and mouse make it: the window is brought to the front
// first, and each event goes through the system's input queue to whichever control holds the
// keyboard focus (or lies under the pointer). A program that lost the focus fails these.
enum Modifiers : unsigned { kNoModifiers = 0, kCtrl = 1, kShift = 2, kAlt = 4 };
// Brings a top-level window to the front; false when it did not get there in time.
bool BringToFront(HWND window);
// Presses and releases a key, with the modifiers held around it.
void PressKey(HWND window, int virtualKey, unsigned modifiers = kNoModifiers);
// Types a text into the control holding the focus, one character after another.
void TypeText(HWND window, const std::wstring& text);
// Puts a text on the clipboard, as a user's copy elsewhere does; false when the clipboard
// could not be had.
bool PutOnClipboard(const std::wstring& text);
// Clicks a point of a window's client area with the left or right button. The modifiers stay
// down until `landed` holds (or a while has passed).
enum class Button { Left, Right };
void ClickAt(HWND window, POINT client, Button button = Button::Left,
             unsigned modifiers = kNoModifiers, const std::function<bool()>& landed = {});
// Clicks the middle of a control, or of a list row once it is there (scrolled into view
// first), until `took` holds, at most three times; false when it never did. Only a click that
// changed nothing is repeated.
bool ClickMiddleUntil(HWND control, const std::function<bool()>& took);
bool ClickRowUntil(HWND list, int row, Button button, unsigned modifiers,
                   const std::function<bool()>& took);
// Selects exactly these rows as a user does, a click on the first and Ctrl+click on each other
// one; the caret ends on the last. False when that selection was not reached in time.
bool ClickRows(HWND list, const std::vector<int>& rows);

// Drags these files onto a point of a window's client area and drops them there, the way the
// system's file manager does: on Windows an OLE drag of the shell's file list from this
// process, under Wine an XDND drag from another X client. The drop's effect: none when the
// window did not take it.
DWORD DragFilesOnto(HWND window, POINT client, const std::vector<std::wstring>& paths);

// A menu item chosen by its number.
void PostCommand(HWND mainWindow, int item);

// Puts a full path into the open dialog's file-name field and presses Open.
bool FillOpenDialog(HWND dialog, const std::wstring& path);
// The number of files and folders the open dialog lists; -1 before its list is there.
int OpenDialogItemCount(HWND dialog);

// Saves the screen area of a window as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& bmpPath);

// The registry as the program left it.
struct RegistryValue {
  DWORD type = REG_NONE;
  DWORD number = 0;
  std::wstring text;
};
std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key,
                                       const std::wstring& name);
bool KeyExists(HKEY root, const std::wstring& key);
void WriteDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number);
void WriteString(HKEY root, const std::wstring& key, const std::wstring& name,
                 const std::wstring& text);
void DeleteTree(HKEY root, const std::wstring& key);

}  // namespace vandrel::e2e
