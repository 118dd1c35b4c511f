// Real keyboard and mouse input through the system's input queue, as a user makes it.
#include "tests/e2e/driver.h"

namespace vandrel::e2e {
namespace {

constexpr Milliseconds kFrontPatience{2000};

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
// until the system shows the modifiers down: under Wine a click sent in the same batch as Ctrl
// was now and then taken without it.
void SendWithModifiers(unsigned modifiers, std::vector<INPUT> events) {
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
  Send(up);
}

HWND TopLevel(HWND window) { return GetAncestor(window, GA_ROOT); }

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

void ClickAt(HWND window, POINT client, Button button, unsigned modifiers) {
  BringToFront(window);
  ClientToScreen(window, &client);
  // The pointer is put there first and seen there, so the press cannot land where it was.
  SetCursorPos(client.x, client.y);
  WaitUntil(
      [&] {
        POINT at{};
        GetCursorPos(&at);
        return at.x == client.x && at.y == client.y;
      },
      Milliseconds(1000));
  bool left = button == Button::Left;
  SendWithModifiers(modifiers, {MouseMove(client),
                                MouseEvent(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
                                MouseEvent(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)});
}

bool ClickMiddleUntil(HWND control, const std::function<bool()>& took) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client{};
    GetClientRect(control, &client);
    ClickAt(control, {client.right / 2, client.bottom / 2});
    if (WaitUntil(took, Milliseconds(3000))) return true;
  }
  return false;
}

void ClickRow(HWND list, int row, Button button, unsigned modifiers) {
  // As a user waits for the row to be there.
  WaitUntil([&] { return RowCount(list) > row && IsEnabled(list); });
  DWORD_PTR height = 0, top = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &height);
  RECT client = ClientRect(list);
  int visibleRows = height ? static_cast<int>(client.bottom / static_cast<LONG>(height)) : 0;
  SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
  // As a user scrolls to the row before clicking it.
  if (row < static_cast<int>(top) || row >= static_cast<int>(top) + visibleRows) {
    SendMessageTimeoutW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0, SMTO_ABORTIFHUNG, 5000,
                        &top);
    SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
  }
  int y = (row - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2;
  ClickAt(list, {client.right / 3, y}, button, modifiers);
}

bool ClickRows(HWND list, const std::vector<int>& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    auto selected = [&] { return IsRowSelected(list, rows[i]) && CaretRow(list) == rows[i]; };
    // Under Wine a click now and then goes missing while the window is coming to the front;
    // a user clicks again. (A second click on a row that took the first would undo a Ctrl+click,
    // so it follows only a click that changed nothing.)
    bool done = false;
    for (int attempt = 0; attempt < 3 && !done; ++attempt) {
      ClickRow(list, rows[i], Button::Left, i == 0 ? kNoModifiers : kCtrl);
      done = WaitUntil(selected, Milliseconds(3000));
    }
    if (!done) return false;
  }
  return SelectedCount(list) == static_cast<int>(rows.size());
}

}  // namespace vandrel::e2e
