// The shell's folder browser: file-system folders only, its caption set and the remembered
// folder preselected as it comes up.
#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

// Wine's browser drops a selection asked for while it is still filling its tree (here the
// first request always was) and opens with nothing selected; the request is repeated while
// nothing is, for two seconds at most, so a folder the user picks is never overridden.
constexpr UINT kRetryMs = 100;
constexpr int kRetries = 20;

struct Browse {
  const FolderRequest& request;
  std::wstring wanted;
  bool reached = false;
  int retries = 0;
};

// Remembered folders end in a backslash; the folder is asked for and compared without it (a
// drive's root keeps its own).
std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

void Preselect(HWND browser, const Browse& browse) {
  SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(browse.wanted.c_str()));
}

bool IsFolder(PCIDLIST_ABSOLUTE item, const std::wstring& path) {
  wchar_t itemPath[MAX_PATH + 1] = {};
  return SHGetPathFromIDListW(item, itemPath) &&
         _wcsicmp(WithoutTrailingBackslash(itemPath).c_str(), path.c_str()) == 0;
}

// The timer's id is the address of the browse state, which outlives the modal browser.
void CALLBACK Retry(HWND browser, UINT, UINT_PTR id, DWORD) {
  auto& browse = *reinterpret_cast<Browse*>(id);
  HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
  bool chosen = tree && TreeView_GetSelection(tree);
  if (browse.reached || chosen || ++browse.retries > kRetries)
    KillTimer(browser, id);
  else
    Preselect(browser, browse);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  auto& browse = *reinterpret_cast<Browse*>(data);
  if (message == BFFM_INITIALIZED) {
    SetWindowTextW(browser, browse.request.caption.c_str());
    if (browse.wanted.empty()) return 0;
    Preselect(browser, browse);
    SetTimer(browser, reinterpret_cast<UINT_PTR>(&browse), kRetryMs, Retry);
  } else if (message == BFFM_SELCHANGED && !browse.wanted.empty() &&
             IsFolder(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), browse.wanted)) {
    browse.reached = true;
  }
  return 0;
}

}  // namespace

std::optional<std::wstring> ShowFolderBrowser(const UiContext& context,
                                              const FolderRequest& request) {
  Browse browse{request, WithoutTrailingBackslash(request.initialDir)};
  wchar_t displayName[MAX_PATH + 1] = {};
  BROWSEINFOW info{};
  info.hwndOwner = DialogOwner(context);
  info.pszDisplayName = displayName;
  info.lpszTitle = request.title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&browse);

  CentredDialogs centred(context.instance, true);
  ItemIdList chosen(SHBrowseForFolderW(&info));
  wchar_t path[MAX_PATH + 1] = {};
  if (!chosen.get() || !SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
  return std::wstring(path);
}

}  // namespace vandrel::win32
