// The shell's folder browser: file-system folders only, its caption set and the remembered
// folder preselected as it comes up.
#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    const auto& request = *reinterpret_cast<const FolderRequest*>(data);
    SetWindowTextW(browser, request.caption.c_str());
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE,
                 reinterpret_cast<LPARAM>(request.initialDir.c_str()));
  }
  return 0;
}

}  // namespace

std::optional<std::wstring> ShowFolderBrowser(const UiContext& context,
                                              const FolderRequest& request) {
  wchar_t displayName[MAX_PATH + 1] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = DialogOwner(context);
  browse.pszDisplayName = displayName;
  browse.lpszTitle = request.title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(&request);

  CentredDialogs centred(context.instance, true);
  ItemIdList chosen(SHBrowseForFolderW(&browse));
  wchar_t path[MAX_PATH + 1] = {};
  if (!chosen.get() || !SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
  return std::wstring(path);
}

}  // namespace vandrel::win32
