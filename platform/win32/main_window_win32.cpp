#include "platform/win32/main_window_win32.h"

#include <shellapi.h>
#include <windowsx.h>

#include <vector>

#include "platform/win32/canvas_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TfmMain";
constexpr int kListId = 1;
constexpr int kStatusBarId = 2;
// Where the list stands before the first layout.
constexpr int kListLeft = 8, kListTop = 19, kListWidth = 325, kListHeight = 164;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

MainWindow::MainWindow(UiContext& context, WindowParts parts) : context_(context), parts_(parts) {}

MainWindow::~MainWindow() {
  if (!window_) return;
  // Too late for the program's handlers: the window goes quietly.
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void MainWindow::Create(TfmMain& program) {
  program_ = &program;
  context_.guard = [&program](const std::function<void()>& handler) { program.Guarded(handler); };
  RegisterClassOnce(context_.instance, kClassName, Procedure,
                    LoadIconW(context_.instance, L"MAINICON"),
                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  // A fixed-width frame with only the system menu and the close box.
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  CreateWindowExW(0, kClassName, appTitle_.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                  kOuterWidth, kOuterHeight, nullptr, parts_.menus.bar(), context_.instance, this);
}

void MainWindow::Destroy() {
  if (window_) DestroyWindow(window_);
}

void MainWindow::Show() {
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The list sends one for each row it drops, 100,000 on a refill; its rows own nothing of
  // ours, so the answer comes before any lookup or default handling.
  if (message == WM_DELETEITEM) return TRUE;
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
    self->context_.main = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == parts_.dialogs.find().message()) {
    parts_.dialogs.find().Notified(lParam);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      CreateControls();
      DragAcceptFiles(window_, TRUE);
      return 0;
    case WM_GETMINMAXINFO: {
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
      limits.ptMinTrackSize = {kOuterWidth, kMinHeight};
      limits.ptMaxTrackSize.x = kOuterWidth;
      return 0;
    }
    case WM_SIZE:
      parts_.statusBar.ParentResized();
      Run([this] { program_->FormResize(); });
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DRAWITEM:
      if (wParam != kListId) break;
      DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      Command(wParam, lParam);
      return 0;
    case WM_INITMENUPOPUP:
      MenuOpening(wParam, lParam);
      return 0;
    case WM_DROPFILES:
      FilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != parts_.list.handle()) break;
      ShowShortcutMenu(lParam);
      return 0;
    case WM_SETCURSOR:
      if (cursor_ != Cursor::Hourglass) break;
      ::SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return TRUE;
    case WM_SETFOCUS:
      if (IsWindowEnabled(parts_.list.handle())) SetFocus(parts_.list.handle());
      return 0;
    case WM_TIMER:
      parts_.timers.Tick(wParam);
      return 0;
    case WM_CLOSE:
      // Closing ends the message loop; the window is destroyed after it, so a command still
      // running (letting messages through) finishes with its window intact.
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      Destroyed();
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      context_.main = nullptr;
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::CreateControls() {
  HFONT font = context_.fonts.regular();
  parts_.list.Create(window_, context_.instance, font, kListId);
  MoveWindow(parts_.list.handle(), kListLeft, kListTop, kListWidth, kListHeight, FALSE);
  parts_.statusBar.Create(window_, context_.instance, font, kStatusBarId);
  parts_.menus.AttachTo(window_);
}

void MainWindow::Command(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) {
    // A menu item (or a command posted as if one were chosen).
    int item = LOWORD(wParam);
    Run([this, item] { program_->MenuItemChosen(item); });
  } else if (reinterpret_cast<HWND>(lParam) == parts_.list.handle() &&
             HIWORD(wParam) == LBN_SELCHANGE) {
    // Sent only when the user changes the selection, never for the program's own changes.
    Run([this] { program_->lbDisplayClick(); });
  }
}

void MainWindow::MenuOpening(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(lParam)) return;  // the system menu
  int item = parts_.menus.ItemOfPopup(reinterpret_cast<HMENU>(wParam));
  // The shortcut menu was prepared before it was shown.
  if (item == 0 || item == pmMenu) return;
  Run([this, item] { program_->MenuOpening(item); });
}

void MainWindow::ShowShortcutMenu(LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  int row = -1;
  if (lParam == -1) {
    // From the keyboard: at the list's top left corner.
    at = {0, 0};
    ClientToScreen(parts_.list.handle(), &at);
  } else {
    row = parts_.list.RowAt(at);
  }
  Run([this, row] { program_->lbDisplayContextPopup(row); });
  TrackPopupMenu(parts_.menus.shortcutMenu(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                 window_, nullptr);
}

void MainWindow::FilesDropped(HDROP drop) {
  std::vector<std::wstring> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
  for (UINT i = 0; i < paths.size(); ++i) {
    paths[i].resize(DragQueryFileW(drop, i, nullptr, 0));
    DragQueryFileW(drop, i, paths[i].data(), static_cast<UINT>(paths[i].size() + 1));
  }
  // The drop's memory goes back before the program runs: adding can take long, and a failure
  // must not leak it.
  DragFinish(drop);
  // A modal box or dialog of ours disables the window while the command that showed it waits
  // for the answer: no second command may start under it.
  if (IsWindowEnabled(window_)) Run([this, &paths] { program_->FormDropFiles(paths); });
}

void MainWindow::DrawRow(const DRAWITEMSTRUCT& item) {
  bool selected = item.itemState & ODS_SELECTED;
  {
    Canvas canvas(item.hDC, context_.fonts,
                  GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT),
                  GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    Rect bounds = FromRECT(item.rcItem);
    // An empty list that has the focus asks for its focus rectangle with no row.
    if (item.itemID == static_cast<UINT>(-1))
      canvas.FillRect(bounds);
    else
      Run([&] { program_->lbDisplayDrawItem(canvas, static_cast<int>(item.itemID), bounds); });
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

void MainWindow::Paint() {
  PaintContext paint(window_);
  Canvas canvas(paint.dc(), context_.fonts, GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE));
  Run([&] { program_->FormPaint(canvas); });
}

void MainWindow::Destroyed() {
  // The menu bar belongs to the menus, not to the window that showed it.
  SetMenu(window_, nullptr);
  Run([this] { program_->FormDestroy(); });
}

bool MainWindow::TakeShortcut(const MSG& message) {
  if (message.message != WM_KEYDOWN || !program_) return false;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  // No menu item carries a chord with Shift or Alt.
  if (KeyDown(VK_SHIFT) || KeyDown(VK_MENU)) return false;
  Shortcut shortcut{KeyDown(VK_CONTROL), static_cast<int>(message.wParam)};
  // A command that fails has still used its key.
  bool taken = true;
  Run([&] { taken = program_->ShortcutPressed(shortcut); });
  return taken;
}

void MainWindow::Dispatch(MSG& message) {
  if (TakeShortcut(message)) return;
  if (parts_.dialogs.find().TakeMessage(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void MainWindow::SetCaption(const std::wstring& caption) {
  SetWindowTextW(window_, caption.c_str());
}

void MainWindow::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  ::SetCursor(LoadCursorW(nullptr, cursor == Cursor::Hourglass ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop that owns the program's end must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(message);
  }
}

int MainWindow::OuterWidth() const {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  return bounds.right - bounds.left;
}

int MainWindow::ClientWidth() const {
  RECT client;
  GetClientRect(window_, &client);
  return client.right;
}

int MainWindow::ClientHeight() const {
  RECT client;
  GetClientRect(window_, &client);
  return client.bottom;
}

void MainWindow::SetListBounds(int left, int top, int width, int height) {
  MoveWindow(parts_.list.handle(), left, top, width, height, TRUE);
}

void MainWindow::SetIconFromResource() { SetAppIcon(window_, context_.instance); }

void MainWindow::CentreOnScreen() { win32::CentreOnScreen(window_); }

void MainWindow::Close() { PostMessageW(window_, WM_CLOSE, 0, 0); }

}  // namespace vandrel::win32
