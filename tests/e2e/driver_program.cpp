// Starting the program, finding its windows, and reading the controls whose messages are not
// carried across processes.
#include "tests/e2e/driver.h"
// The control headers build on the <windows.h> that driver.h brings.
#include <commctrl.h>
#include <shlobj.h>

#include <thread>

namespace vandrel::e2e {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  return L"\"" + argument + L"\"";
}

// Memory inside the program, for messages whose buffers the system does not copy.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
        size_(size) {}
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  void Write(const void* data, size_t size) const {
    WriteProcessMemory(process_, address_, data, size, nullptr);
  }
  void Read(void* data, size_t size) const {
    ReadProcessMemory(process_, address_, data, size, nullptr);
  }
  template <typename T>
  T Get() const {
    T value{};
    Read(&value, sizeof value);
    return value;
  }
  std::wstring Text() const {
    std::wstring text(size_ / sizeof(wchar_t), L'\0');
    Read(text.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
  }

 private:
  HANDLE process_;
  void* address_;
  size_t size_;
};

struct Search {
  DWORD pid;
  std::wstring className, caption;
  bool mustBeVisible;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.pid || ClassName(window) != search.className) return TRUE;
  if (search.mustBeVisible && !IsWindowVisible(window)) return TRUE;
  if (!search.caption.empty() && WindowText(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindTopLevel(DWORD pid, const std::wstring& className, bool visible,
                  const std::wstring& caption = {}) {
  Search search{pid, className, caption, visible};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring LastPart(const std::wstring& path) {
  std::wstring trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
  size_t slash = trimmed.find_last_of(L'\\');
  return slash == std::wstring::npos ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& ready, Milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= end) return ready();
    std::this_thread::sleep_for(Milliseconds(20));
  }
  return true;
}

std::wstring HostPath(const std::string& path) {
  std::wstring wide(path.begin(), path.end());
  if (wide.empty() || wide.front() != L'/') return wide;
  for (auto& c : wide)
    if (c == L'/') c = L'\\';
  return L"Z:" + wide;
}

std::wstring VandrelPath() { return HostPath(VANDREL_EXE); }

Program::Program(const std::vector<std::wstring>& arguments, const std::wstring& exe) {
  std::wstring commandLine = Quoted(exe);
  for (const auto& argument : arguments) commandLine += L" " + Quoted(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                 &startup, &info_);
}

Program::~Program() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

HWND Program::MainWindow(Milliseconds timeout) const {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindTopLevel(pid(), L"TfmMain", true)) != nullptr; }, timeout);
  return window;
}

HWND Program::HiddenMainWindow() const { return FindTopLevel(pid(), L"TfmMain", false); }

HWND Program::TopLevel(const std::wstring& className, Milliseconds timeout) const {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindTopLevel(pid(), className, true)) != nullptr; }, timeout);
  return window;
}

HWND Program::Dialog(Milliseconds timeout, const std::wstring& caption) const {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindTopLevel(pid(), L"#32770", true, caption)) != nullptr; },
            timeout);
  return dialog;
}

HWND Program::OpenMenu(Milliseconds timeout) const {
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = FindTopLevel(pid(), L"#32768", true)) != nullptr; }, timeout);
  return menu;
}

HWND Program::List() const { return FindDescendant(HiddenMainWindow(), L"ListBox"); }

HWND Program::StatusBar() const { return FindDescendant(HiddenMainWindow(), STATUSCLASSNAMEW); }

std::wstring Program::StatusText(int panel) const {
  HWND bar = StatusBar();
  size_t length = LOWORD(Send(bar, SB_GETTEXTLENGTHW, panel, 0));
  RemoteBuffer text(process(), (length + 1) * sizeof(wchar_t));
  Send(bar, SB_GETTEXTW, panel, text.address());
  return text.Text();
}

std::vector<int> Program::StatusPanelEdges() const {
  HWND bar = StatusBar();
  int count = static_cast<int>(Send(bar, SB_GETPARTS, 0, 0));
  if (count <= 0) return {};
  RemoteBuffer edges(process(), sizeof(int) * static_cast<size_t>(count));
  Send(bar, SB_GETPARTS, count, edges.address());
  std::vector<int> result(static_cast<size_t>(count));
  edges.Read(result.data(), result.size() * sizeof(int));
  return result;
}

void Program::Close() const { PostMessageW(HiddenMainWindow(), WM_CLOSE, 0, 0); }

std::optional<DWORD> Program::WaitForExit(Milliseconds timeout) const {
  if (WaitForSingleObject(process(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process(), &code);
  return code;
}

// The text of a tree item of the program's folder browser.
std::wstring Program::TreeItemText(HWND tree, LRESULT treeItem) const {
  if (!treeItem) return {};
  constexpr int kTextCharacters = 260;
  RemoteBuffer text(process(), kTextCharacters * sizeof(wchar_t));
  TVITEMW query{};
  query.mask = TVIF_TEXT;
  query.hItem = reinterpret_cast<HTREEITEM>(treeItem);
  query.pszText = reinterpret_cast<LPWSTR>(text.address());
  query.cchTextMax = kTextCharacters;
  RemoteBuffer item(process(), sizeof query);
  item.Write(&query, sizeof query);
  Send(tree, TVM_GETITEMW, 0, item.address());
  return text.Text();
}

std::wstring Program::BrowserSelection(HWND browser) const {
  HWND tree = FindDescendant(browser, WC_TREEVIEWW);
  return tree ? TreeItemText(tree, Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : std::wstring();
}

bool Program::PickBesideSelection(HWND browser, const std::wstring& name) const {
  HWND tree = FindDescendant(browser, WC_TREEVIEWW);
  if (!tree) return false;
  LRESULT caret = Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  for (LRESULT parent : {caret, Send(tree, TVM_GETNEXTITEM, TVGN_PARENT, caret)}) {
    Send(tree, TVM_EXPAND, TVE_EXPAND, parent);
    for (LRESULT item = Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, parent); item;
         item = Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, item)) {
      if (_wcsicmp(TreeItemText(tree, item).c_str(), name.c_str()) == 0) {
        Send(tree, TVM_SELECTITEM, TVGN_CARET, item);
        return true;
      }
    }
  }
  return false;
}

bool Program::ChooseFolder(HWND browser, const std::wstring& path) const {
  RemoteBuffer remotePath(process(), (path.size() + 1) * sizeof(wchar_t));
  remotePath.Write(path.c_str(), (path.size() + 1) * sizeof(wchar_t));
  auto reached = [&] {
    return _wcsicmp(BrowserSelection(browser).c_str(), LastPart(path).c_str()) == 0;
  };
  // The browser sometimes loses a selection sent while it is still filling its tree, and now
  // and then will not leave the folder it first showed for a path asked for by name; a user
  // then picks the folder in the tree, beside or below the one shown.
  bool chosen = WaitUntil(
                    [&] {
                      Send(browser, BFFM_SETSELECTIONW, TRUE, remotePath.address());
                      return reached();
                    },
                    Milliseconds(3000)) ||
                (PickBesideSelection(browser, LastPart(path)) && WaitUntil(reached));
  if (chosen) PressButton(browser, IDOK);
  return chosen;
}

}  // namespace vandrel::e2e
