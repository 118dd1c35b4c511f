#pragma once
// The program's dialogs on Win32: message boxes, the open dialog, the folder browser, the
// input box and the find dialog.
#include "platform/dialogs.h"
#include "platform/win32/find_dialog_win32.h"

namespace vandrel::win32 {

class Dialogs final : public IDialogs {
 public:
  explicit Dialogs(UiContext& context) : context_(context), find_(context) {}
  FindDialog& find() { return find_; }

  MessageResult MessageBox(MessageKind kind, const std::wstring& caption,
                           const std::wstring& text) override;
  std::optional<std::vector<std::wstring>> OpenFile(const OpenFileRequest& request) override;
  std::optional<std::wstring> BrowseForFolder(const FolderRequest& request) override;
  std::optional<std::wstring> InputBox(const std::wstring& caption, const std::wstring& prompt,
                                       const std::wstring& text) override;
  void ShowFindDialog(const FindDialogRequest& request, FindDialogEvents events) override;
  void CloseFindDialog() override { find_.RequestClose(); }

 private:
  UiContext& context_;
  FindDialog find_;
};

}  // namespace vandrel::win32
