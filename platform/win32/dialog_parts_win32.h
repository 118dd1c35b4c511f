#pragma once
// The modal dialogs, one function each, and the pieces of the open dialog's text protocol.
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {

// The main window while it is on screen; no owner before it is shown or once it is going.
HWND DialogOwner(const UiContext& context);

MessageResult ShowMessageBox(const UiContext& context, MessageKind kind,
                             const std::wstring& caption, const std::wstring& text);

std::optional<std::vector<std::wstring>> ShowOpenFile(const UiContext& context,
                                                      const OpenFileRequest& request);
// "display\0pattern\0...\0\0", as the open dialog takes its filters.
std::wstring FilterList(const std::vector<FileFilter>& filters);
// The open dialog's answer: one full path, or (several chosen) the folder and then the names,
// each ended by a zero and the whole by a second zero.
std::vector<std::wstring> ChosenFiles(const wchar_t* answer);

std::optional<std::wstring> ShowFolderBrowser(const UiContext& context,
                                              const FolderRequest& request);

std::optional<std::wstring> ShowInputBox(const UiContext& context, const std::wstring& caption,
                                         const std::wstring& prompt, const std::wstring& text);

}  // namespace vandrel::win32
