#pragma once
// The boxes and dialogs the program asks the user through: message boxes, the open-file
// dialog, the folder browser, the input box and the modeless find dialog.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vandrel {

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

}  // namespace vandrel
