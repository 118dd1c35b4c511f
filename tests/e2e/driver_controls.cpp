// Reading and working the controls of the program's windows with their own messages, which
// the system carries across processes.
#include <filesystem>
#include <fstream>

#include "tests/e2e/driver.h"
// The control headers build on the <windows.h> that driver.h brings.
#include <commctrl.h>

namespace vandrel::e2e {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

struct DescendantSearch {
  std::wstring className;
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<DescendantSearch*>(data);
  if (_wcsicmp(ClassName(window).c_str(), search.className.c_str()) != 0) return TRUE;
  if (search.id >= 0 && GetDlgCtrlID(window) != search.id) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

std::wstring WindowText(HWND window) {
  int length = static_cast<int>(Send(window, WM_GETTEXTLENGTH));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = static_cast<int>(
      Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

HWND FindDescendant(HWND parent, const std::wstring& className, int id) {
  if (!parent) return nullptr;
  DescendantSearch search{className, id};
  EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool CancelAndWait(HWND dialog) {
  PressButton(dialog, IDCANCEL);
  return WaitUntil([&] { return !IsWindow(dialog); });
}

RECT OuterRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

int RowCount(HWND list) { return static_cast<int>(Send(list, LB_GETCOUNT)); }

std::vector<std::wstring> Rows(HWND list) {
  std::vector<std::wstring> rows;
  int count = RowCount(list);
  for (int row = 0; row < count; ++row) {
    auto length = Send(list, LB_GETTEXTLEN, row);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    length = Send(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    rows.push_back(text);
  }
  return rows;
}

bool IsRowSelected(HWND list, int row) { return Send(list, LB_GETSEL, row) > 0; }

int SelectedCount(HWND list) { return static_cast<int>(Send(list, LB_GETSELCOUNT)); }

int CaretRow(HWND list) { return static_cast<int>(Send(list, LB_GETCARETINDEX)); }

void PostCommand(HWND mainWindow, int item) {
  PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(item, 0), 0);
}

bool FillOpenDialog(HWND dialog, const std::wstring& path) {
  // The explorer-style file-name field: an edit inside the combo box cmb13 (1148).
  HWND field = FindDescendant(dialog, L"ComboBoxEx32", 1148);
  HWND edit = field ? FindDescendant(field, L"Edit") : FindDescendant(dialog, L"Edit", 1152);
  if (!edit) edit = FindDescendant(dialog, L"Edit");
  if (!edit) return false;
  Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(dialog, IDOK);
  return true;
}

int OpenDialogItemCount(HWND dialog) {
  HWND files = FindDescendant(dialog, L"SysListView32");
  return files ? static_cast<int>(Send(files, LVM_GETITEMCOUNT)) : -1;
}

bool SaveScreenshot(HWND window, const std::wstring& bmpPath) {
  // What changed a moment ago is drawn first: a field filled just now still showed empty.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT area = OuterRect(window);
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  GdiFlush();

  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  size_t imageSize = stride * static_cast<size_t>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + imageSize);
  std::ofstream out(std::filesystem::path(bmpPath), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(imageSize));
  bool written = out.good();

  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace vandrel::e2e
