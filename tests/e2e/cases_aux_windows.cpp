// The splash window, the Options and About windows and the help prompt in the real program,
// worked with real key presses and clicks.
#include <thread>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

constexpr Milliseconds kQuietSpell{1000};
constexpr wchar_t kHelpText[] =
    L"Единственная справка, идущая с программой находится в файле ReadMe.\r\n"
    L"Для дополнительной справки, используете форумы в forum.quarrymoor.example"
    L"\r\n\r\nОткрыть файл ReadMe Vandrel?       ";

SIZE ClientSize(HWND window) {
  RECT client = ClientRect(window);
  return {client.right, client.bottom};
}

// Where a window's client area begins on the screen.
POINT ClientOrigin(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

// The control of a window holding the keyboard focus, as its thread sees it.
HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

struct Control {
  HWND handle = nullptr;
  std::wstring className, text;
  RECT bounds{};  // in the parent's client area
};

// The window's controls in their order, which is the order Tab walks them.
std::vector<Control> Controls(HWND window) {
  std::vector<Control> controls;
  POINT origin = ClientOrigin(window);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT bounds = OuterRect(child);
    OffsetRect(&bounds, -origin.x, -origin.y);
    controls.push_back({child, ClassName(child), WindowText(child), bounds});
  }
  return controls;
}

HWND ControlWithText(HWND window, const std::wstring& text) {
  for (const auto& control : Controls(window))
    if (control.text == text) return control.handle;
  return nullptr;
}

bool IsChecked(HWND box) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

bool IsToolWindow(HWND window) {
  return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

// Centred as the program centres: halves of the outer size, truncated.
void ExpectCentred(HWND window) {
  RECT outer = OuterRect(window);
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - (outer.right - outer.left) / 2);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - (outer.bottom - outer.top) / 2);
}

COLORREF ScreenPixel(POINT at) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// A top-level window of any process whose caption holds `part`.
HWND WindowCaptioned(const std::wstring& part) {
  struct Search {
    const std::wstring& part;
    HWND found = nullptr;
  } search{part};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(data);
        if (!IsWindowVisible(window) || WindowText(window).find(search.part) == std::wstring::npos)
          return TRUE;
        search.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class AuxWindowsTest : public E2eTest {
 protected:
  // The program on its main window, the association on (as a first run leaves it).
  void Start(const std::vector<std::wstring>& arguments = {}) {
    program_ = StartToMainWindow(arguments, window_);
    ASSERT_NE(window_, nullptr);
  }
  // Chooses a menu item with the keyboard: F10 enters the menu bar on File, Right walks to the
  // menu, Down opens it on its first item and walks on to the item, Enter chooses it.
  void ChooseFromMenu(int menu, int item) {
    PressKey(window_, VK_F10);
    for (int i = 0; i < menu; ++i) PressKey(window_, VK_RIGHT);
    for (int i = 0; i <= item; ++i) PressKey(window_, VK_DOWN);
    PressKey(window_, VK_RETURN);
  }
  HWND OpenOptions() {
    ChooseFromMenu(3, 1);  // Tools: Sort, Options
    return program_->Dialog(kPatience, L"Options");
  }
  HWND OpenAbout() {
    ChooseFromMenu(4, 1);  // Help: Help, About
    return program_->Dialog(kPatience, L"О программе Vandrel ");
  }
  // Starts the program and presses F1: the help prompt, its text checked.
  HWND AskForHelp() {
    Start();
    PressKey(window_, VK_F1);
    HWND box = program_->Dialog(kPatience, L"Information");
    EXPECT_EQ(box ? MessageBoxText(box) : L"", kHelpText);
    return box;
  }
  static void Screenshot(HWND window, const wchar_t* name) {
    Sleep(300);  // as the user sees it, painted
    EXPECT_TRUE(SaveScreenshot(window, OutputPath(name)));
  }

  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
};

TEST_F(AuxWindowsTest, TheSplashHoldsTheMainWindowBackThenGivesWayToIt) {
  MarkWarningShown();
  WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"bShowSplash", 1);
  Program program({});
  HWND splash = program.TopLevel(L"TfmSplash", kStartPatience);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(program.MainWindow(Milliseconds(0)), nullptr) << "the main window waits";
  ASSERT_NE(program.HiddenMainWindow(), nullptr);
  // Borderless: a 258 x 130 client area (the picture in a one-pixel black frame) is all of it.
  SIZE client = ClientSize(splash);
  EXPECT_EQ(client.cx, 258);
  EXPECT_EQ(client.cy, 130);
  RECT outer = OuterRect(splash);
  EXPECT_EQ(outer.right - outer.left, 258);
  EXPECT_EQ(outer.bottom - outer.top, 130);
  ExpectCentred(splash);
  EXPECT_FALSE(IsToolWindow(program.HiddenMainWindow()));

  Sleep(500);  // the bar part of the way along
  Screenshot(splash, L"splash.bmp");
  POINT origin = ClientOrigin(splash);
  EXPECT_EQ(ScreenPixel(origin), RGB(0, 0, 0)) << "the frame";
  EXPECT_EQ(ScreenPixel({origin.x + 1, origin.y + 127}), RGB(255, 0, 0)) << "the bar's start";
  EXPECT_EQ(ScreenPixel({origin.x + 2, origin.y + 128}), RGB(255, 0, 0));
  EXPECT_NE(ScreenPixel({origin.x + 1, origin.y + 125}), RGB(255, 0, 0)) << "two rows high";
  EXPECT_EQ(program.MainWindow(Milliseconds(0)), nullptr);

  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindow(splash)) << "released when it closed";
  EXPECT_TRUE(CloseAndWait(program));
}

TEST_F(AuxWindowsTest, OptionsIsLaidOutAsDesignedAndTabsInItsOrder) {
  Start();
  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(IsToolWindow(options));
  SIZE client = ClientSize(options);
  EXPECT_EQ(client.cx, 175);
  EXPECT_EQ(client.cy, 138);
  ExpectCentred(options);
  struct Expected {
    const wchar_t* text;
    RECT bounds;
  };
  const Expected expected[] = {
      {L" File Association ", {8, 56, 169, 97}},
      {L"GTA IMG Archives (*.img)", {16, 72, 161, 89}},
      {L"Ok", {8, 104, 83, 129}},
      {L"Cancel", {88, 104, 163, 129}},
      {L" General ", {8, 8, 169, 49}},
      {L"Show Splash Screen", {16, 24, 153, 41}},
  };
  std::vector<Control> controls = Controls(options);
  ASSERT_EQ(controls.size(), std::size(expected));
  for (size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(controls[i].text, expected[i].text);
    EXPECT_TRUE(EqualRect(&controls[i].bounds, &expected[i].bounds)) << i;
  }
  HWND assoc = controls[1].handle, ok = controls[2].handle, cancel = controls[3].handle,
       splash = controls[5].handle;
  EXPECT_TRUE(IsChecked(assoc));
  EXPECT_FALSE(IsChecked(splash)) << "the cases start with the splash off";
  Screenshot(options, L"options.bmp");

  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(options) == assoc; }));
  for (HWND next : {ok, cancel, splash, assoc}) {
    PressKey(options, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(options) == next; }));
  }
  // Neither Esc nor Enter on a check box ends the window: there is no cancel or default button.
  PressKey(options, VK_ESCAPE);
  PressKey(options, VK_RETURN);
  EXPECT_FALSE(WaitUntil([&] { return !IsWindow(options); }, kQuietSpell));
  EXPECT_TRUE(IsChecked(assoc));
  // Enter on a focused button presses it.
  PressKey(options, VK_TAB);
  PressKey(options, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(options) == cancel; }));
  PressKey(options, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  EXPECT_TRUE(CloseAndWait(*program_));
}

TEST_F(AuxWindowsTest, UntickingTheAssociationRemovesItAtOnceAndForTheNextStart) {
  Start();
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
  HWND options = OpenOptions();
  ASSERT_NE(options, nullptr);
  HWND assoc = ControlWithText(options, L"GTA IMG Archives (*.img)");
  ASSERT_TRUE(ClickMiddleUntil(assoc, [&] { return !IsChecked(assoc); }));
  ASSERT_TRUE(
      ClickMiddleUntil(ControlWithText(options, L"Ok"), [&] { return !IsWindow(options); }));
  // The window is gone as soon as Ok is taken; the keys and the flag change a moment later.
  const auto assocOff = [&] {
    const auto flag = Setting(L"bAssocIMG");
    return flag && flag->number == 0 && !KeyExists(HKEY_CLASSES_ROOT, kTypeKey) &&
           !KeyExists(HKEY_CLASSES_ROOT, kExtensionKey);
  };
  EXPECT_TRUE(WaitUntil(assocOff));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
  auto flag = Setting(L"bAssocIMG");
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ(flag->number, 0u);
  EXPECT_EQ(Setting(L"bShowSplash")->number, 0u) << "unchanged, so not written";
  EXPECT_TRUE(CloseAndWait(*program_));

  Start();
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey)) << "the next start leaves it off";
  HWND again = OpenOptions();
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(IsChecked(ControlWithText(again, L"GTA IMG Archives (*.img)")));
  // The close box is a Cancel: nothing is written.
  PressKey(again, VK_F4, kAlt);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again); }));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
  EXPECT_TRUE(CloseAndWait(*program_));
}

TEST_F(AuxWindowsTest, AboutShowsItsCaptionCreditsAndLink) {
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(about), L"О программе Vandrel ");
  EXPECT_TRUE(IsToolWindow(about));
  SIZE client = ClientSize(about);
  EXPECT_EQ(client.cx, 208);
  EXPECT_EQ(client.cy, 117);
  ExpectCentred(about);
  std::vector<Control> controls = Controls(about);
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[1].text.rfind(L"Code by ", 0), 0u);
  EXPECT_EQ(controls[2].text, L"quarrymoor.example");
  Screenshot(about, L"about.bmp");
  PressKey(about, VK_F4, kAlt);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  EXPECT_TRUE(CloseAndWait(*program_));
}

TEST_F(AuxWindowsTest, F1AnsweredNoOpensNothing) {
  HWND box = AskForHelp();
  ASSERT_NE(box, nullptr);
  PressKey(box, 'N');
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(program_->Dialog(kQuietSpell), nullptr) << "no error box";
  EXPECT_EQ(WindowCaptioned(L"ReadMe"), nullptr) << "no Notepad";
  EXPECT_TRUE(CloseAndWait(*program_));
}

TEST_F(AuxWindowsTest, F1AnsweredYesOpensTheInstalledReadMeInNotepad) {
  HWND box = AskForHelp();
  ASSERT_NE(box, nullptr);
  PressKey(box, 'Y');
  HWND notepad = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (notepad = WindowCaptioned(L"ReadMe")) != nullptr; }));
  if (notepad) PostMessageW(notepad, WM_CLOSE, 0, 0);
  EXPECT_EQ(program_->Dialog(kQuietSpell, L"Error"), nullptr) << "the ReadMe is there";
  EXPECT_TRUE(CloseAndWait(*program_));
}

}  // namespace
}  // namespace vandrel::e2e
