#include "platform/win32/dialogs_win32.h"

#include <utility>

#include "platform/win32/dialog_parts_win32.h"

namespace vandrel::win32 {

MessageResult Dialogs::MessageBox(MessageKind kind, const std::wstring& caption,
                                  const std::wstring& text) {
  return ShowMessageBox(context_, kind, caption, text);
}

std::optional<std::vector<std::wstring>> Dialogs::OpenFile(const OpenFileRequest& request) {
  return ShowOpenFile(context_, request);
}

std::optional<std::wstring> Dialogs::BrowseForFolder(const FolderRequest& request) {
  return ShowFolderBrowser(context_, request);
}

std::optional<std::wstring> Dialogs::InputBox(const std::wstring& caption,
                                              const std::wstring& prompt,
                                              const std::wstring& text) {
  return ShowInputBox(context_, caption, prompt, text);
}

void Dialogs::ShowFindDialog(const FindDialogRequest& request, FindDialogEvents events) {
  find_.Show(request, std::move(events));
}

}  // namespace vandrel::win32
