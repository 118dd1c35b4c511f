// Real keyboard and mouse input through the system's input queue, as a user makes it.
#include <cstring>

#include "tests/e2e/driver.h"

namespace vandrel::e2e {
namespace {

constexpr Milliseconds kFrontPatience{2000};
// How long a click may take to show its effect before it counts as lost.
constexpr Milliseconds kClickPatience{3000};

INPUT KeyEvent(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT CharacterEvent(wchar_t character, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = character;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

INPUT MouseEvent(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// A move to a point of the screen, in the 0 to 65535 scale of absolute pointer input.
INPUT MouseMove(POINT screen) {
  INPUT input = MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  return input;
}

// The keys of the modifiers, in the order they go down.
std::vector<WORD> ModifierKeys(unsigned modifiers) {
  std::vector<WORD> keys;
  if (modifiers & kCtrl) keys.push_back(VK_CONTROL);
  if (modifiers & kShift) keys.push_back(VK_SHIFT);
  if (modifiers & kAlt) keys.push_back(VK_MENU);
  return keys;
}

void Send(std::vector<INPUT> batch) {
  if (!batch.empty()) SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
}

// Holds the modifiers down around `events`, releasing them in reverse order. The events wait
// until the system shows the modifiers down, and the modifiers stay down until `landed` holds
// (or a while has passed), as a user keeps Ctrl down until the click has shown its effect.
void SendWithModifiers(unsigned modifiers, std::vector<INPUT> events,
                       const std::function<bool()>& landed = {}) {
  std::vector<WORD> keys = ModifierKeys(modifiers);
  std::vector<INPUT> down, up;
  for (WORD key : keys) down.push_back(KeyEvent(key, false));
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) up.push_back(KeyEvent(*key, true));
  Send(down);
  WaitUntil(
      [&] {
        for (WORD key : keys)
          if (GetAsyncKeyState(key) >= 0) return false;
        return true;
      },
      Milliseconds(1000));
  Send(events);
  if (landed) WaitUntil(landed, kClickPatience);
  Send(up);
}

HWND TopLevel(HWND window) { return GetAncestor(window, GA_ROOT); }

bool PointerAt(POINT screen) {
  POINT at{};
  return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
}

// Moves the pointer to a point of the screen and waits until it rests there. Under Wine every
// move is echoed back by the X server some time later, and a late echo of an earlier move put
// the pointer back where it was, so a click went to the row clicked before.
void PutPointer(POINT screen) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    Send({MouseMove(screen)});
    if (WaitUntil([&] { return PointerAt(screen); }, Milliseconds(1000))) {
      Sleep(100);
      if (PointerAt(screen)) return;
    }
  }
}

// Whether the window's thread still holds the mouse captured: it took a press whose release it
// has not taken yet. A pointer moved meanwhile would drag a selection across rows.
bool HoldsCapture(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         info.hwndCapture != nullptr;
}

// Clicks `client` until `took` holds, at most three times: a user whose click showed nothing
// clicks again; only a click that changed nothing is repeated. A left click counts once its
// release was taken too.
bool ClickUntil(HWND window, POINT client, Button button, unsigned modifiers,
                const std::function<bool()>& took) {
  auto landed = [&] { return took() && (button == Button::Right || !HoldsCapture(window)); };
  for (int attempt = 0; attempt < 3; ++attempt) {
    ClickAt(window, client, button, modifiers, landed);
    if (landed()) return true;
  }
  return false;
}

}  // namespace

bool BringToFront(HWND window) {
  HWND top = TopLevel(window);
  if (GetForegroundWindow() == top) return true;
  SetForegroundWindow(top);
  return WaitUntil([&] { return GetForegroundWindow() == top; }, kFrontPatience);
}

void PressKey(HWND window, int virtualKey, unsigned modifiers) {
  BringToFront(window);
  auto key = static_cast<WORD>(virtualKey);
  SendWithModifiers(modifiers, {KeyEvent(key, false), KeyEvent(key, true)});
}

void TypeText(HWND window, const std::wstring& text) {
  BringToFront(window);
  std::vector<INPUT> events;
  for (wchar_t character : text) {
    events.push_back(CharacterEvent(character, false));
    events.push_back(CharacterEvent(character, true));
  }
  SendWithModifiers(kNoModifiers, events);
}

bool PutOnClipboard(const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  // Another program (Wine's own clipboard keeper) may hold the clipboard for a moment.
  if (!WaitUntil([] { return OpenClipboard(nullptr) != 0; }, Milliseconds(2000))) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  // Once set, the memory belongs to the clipboard.
  const bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!put) GlobalFree(memory);
  CloseClipboard();
  return put;
}

void ClickAt(HWND window, POINT client, Button button, unsigned modifiers,
             const std::function<bool()>& landed) {
  BringToFront(window);
  ClientToScreen(window, &client);
  PutPointer(client);
  bool left = button == Button::Left;
  // The move again in the same batch, so nothing can come between it and the press.
  SendWithModifiers(
      modifiers,
      {MouseMove(client), MouseEvent(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
       MouseEvent(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)},
      landed);
}

bool ClickMiddleUntil(HWND control, const std::function<bool()>& took) {
  RECT client = ClientRect(control);
  return ClickUntil(control, {client.right / 2, client.bottom / 2}, Button::Left, kNoModifiers,
                    took);
}

namespace {

// The middle of a list row, in the list's client pixels, once the row is there and scrolled
// into view as a user scrolls to it.
POINT RowPoint(HWND list, int row) {
  WaitUntil([&] { return RowCount(list) > row && IsEnabled(list); });
  DWORD_PTR height = 0, top = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &height);
  RECT client = ClientRect(list);
  int visibleRows = height ? static_cast<int>(client.bottom / static_cast<LONG>(height)) : 0;
  SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
  if (row < static_cast<int>(top) || row >= static_cast<int>(top) + visibleRows) {
    SendMessageTimeoutW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0, SMTO_ABORTIFHUNG, 5000,
                        &top);
    SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
  }
  int y = (row - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2;
  return {client.right / 3, y};
}

}  // namespace

bool ClickRowUntil(HWND list, int row, Button button, unsigned modifiers,
                   const std::function<bool()>& took) {
  return ClickUntil(list, RowPoint(list, row), button, modifiers, took);
}

bool ClickRows(HWND list, const std::vector<int>& rows) {
  auto exactly = [&] {
    if (SelectedCount(list) != static_cast<int>(rows.size())) return false;
    for (int row : rows)
      if (!IsRowSelected(list, row)) return false;
    return true;
  };
  // A click that took without its Ctrl leaves another selection than asked for (under Wine the
  // program now and then resets its modifiers to what the X server shows, which never saw the
  // Ctrl); a user sees that, waits a moment and selects the rows again from the first.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0) Sleep(300);
    bool clicked = true;
    for (size_t i = 0; i < rows.size() && clicked; ++i) {
      clicked = ClickRowUntil(list, rows[i], Button::Left, i == 0 ? kNoModifiers : kCtrl, [&] {
        return IsRowSelected(list, rows[i]) && CaretRow(list) == rows[i];
      });
    }
    if (clicked && exactly()) return true;
  }
  return false;
}

}  // namespace vandrel::e2e
