// The Win32 side of the seam against real controls in a hidden window: what the program
// stores through the seam reads back the same, and the menus follow the program's tables.
#include <gtest/gtest.h>

#include <iterator>

#include "app/menu_table.h"
#include "platform/codepage.h"
#include "platform/utf8.h"
#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/list_box_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/status_bar_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

// A plain hidden top-level window to hold the controls.
class HostWindow {
 public:
  HostWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPED, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
  }
  UiContext context_;
  HostWindow host_;
};

TEST_F(ControlsTest, ListKeepsRowsSelectionAndCaret) {
  ListBox list;
  list.Create(host_.get(), context_.instance, context_.fonts.regular(), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Caret(), 0) << "an empty list reports row 0";
  list.AddRows({L"0%a.dff?00000800/2 kb", L"1%b.txd?00001000/4 kb", L"2%c?00001800/2 kb"});
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Row(1), L"1%b.txd?00001000/4 kb");
  EXPECT_EQ(SendMessageW(list.handle(), LB_GETITEMHEIGHT, 0, 0), ListBox::kRowHeight);

  list.SetSelected(0, true);
  list.SetSelected(2, true);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_TRUE(list.IsSelected(2));
  EXPECT_FALSE(list.IsSelected(1));
  list.SetSelected(0, false);
  EXPECT_EQ(list.SelectedCount(), 1);
  list.SetCaret(2);
  EXPECT_EQ(list.Caret(), 2);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(ControlsTest, ListTakesManyRowsInOneGo) {
  ListBox list;
  list.Create(host_.get(), context_.instance, context_.fonts.regular(), 1);
  RowTexts rows;
  for (int i = 0; i < 20000; ++i)
    rows.Add([&](std::wstring& text) { text += std::to_wstring(i) + L"%name?00000000/0 kb"; });
  list.AddRows(rows);
  EXPECT_EQ(list.Count(), 20000);
  EXPECT_EQ(list.Row(0), L"0%name?00000000/0 kb");
  EXPECT_EQ(list.Row(19999), L"19999%name?00000000/0 kb");
}

TEST_F(ControlsTest, StatusBarPanelsHoldTheirTextsAndTheLastRunsToTheEnd) {
  StatusBar bar;
  bar.Create(host_.get(), context_.instance, context_.fonts.regular(), 2);
  bar.SetText(0, L"Архив вер.2 загружен.    ");
  bar.SetText(1, L"120 files (3)");
  EXPECT_EQ(bar.Text(0), L"Архив вер.2 загружен.    ");
  EXPECT_EQ(bar.Text(1), L"120 files (3)");
  bar.SetPanelWidth(0, 225);
  int edges[2] = {};
  ASSERT_EQ(SendMessageW(bar.handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 225);
  EXPECT_EQ(edges[1], -1);
  EXPECT_GT(bar.Height(), 0);
}

TEST(MenusTest, BuiltFromTheTablesWithShortcutsBesideTheCaptions) {
  Menus menus;
  HMENU bar = menus.bar();
  ASSERT_EQ(GetMenuItemCount(bar), 5);
  wchar_t text[64] = {};
  GetMenuStringW(bar, 2, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Commands") << "Alt+C opens it; the ampersand is not shown";
  HMENU commands = GetSubMenu(bar, 2);
  EXPECT_EQ(menus.ItemOfPopup(commands), miCommands);
  // Add, Rebuild Archive, a separator, Extract, Replace, Delete, Rename.
  ASSERT_EQ(GetMenuItemCount(commands), 7);
  EXPECT_EQ(GetMenuState(commands, 2, MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
  GetMenuStringW(commands, miExtract, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Extract\tCtrl+E");
  GetMenuStringW(commands, miDelete, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"Delete\tDel");
  // The Sort submenu of Tools.
  HMENU sort = GetSubMenu(GetSubMenu(bar, 3), 0);
  EXPECT_EQ(menus.ItemOfPopup(sort), miSort);
  EXPECT_EQ(GetMenuItemID(sort, 1), static_cast<UINT>(miSortName));
  EXPECT_EQ(menus.ItemOfPopup(menus.shortcutMenu()), pmMenu);
  EXPECT_EQ(GetMenuItemCount(menus.shortcutMenu()), 4);
  EXPECT_EQ(menus.ItemOfPopup(nullptr), 0);
}

TEST(MenusTest, EnabledAndCheckedStatesAreTheMenusOwn) {
  Menus menus;
  for (int item : {miFile, miSort, miRename, miPMRename}) {
    EXPECT_TRUE(menus.IsEnabled(item)) << item;
    menus.SetEnabled(item, false);
    EXPECT_FALSE(menus.IsEnabled(item)) << item;
    menus.SetEnabled(item, true);
    EXPECT_TRUE(menus.IsEnabled(item)) << item;
  }
  EXPECT_FALSE(menus.IsChecked(miSortName));
  menus.SetChecked(miSortName, true);
  EXPECT_TRUE(menus.IsChecked(miSortName));
  EXPECT_FALSE(menus.IsChecked(miSortOffset));
  // Disabling a top-level item greys it in the bar itself.
  menus.SetEnabled(miHelp, false);
  EXPECT_TRUE(GetMenuState(menus.bar(), 4, MF_BYPOSITION) & MF_GRAYED);
}

// What a user saw in the input box and what they did there, as a timer inside its modal loop
// plays the user.
struct InputBoxVisit {
  std::wstring caption, prompt, text;
  DWORD selection = 0;
  LONG editLimit = 0;
  std::wstring typed;
  int button = IDOK;
};
InputBoxVisit visit;

void CALLBACK PlayTheUser(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", nullptr);
  if (!box) return;
  KillTimer(nullptr, timer);
  visit.caption = WindowText(box);
  visit.prompt = WindowText(FindWindowExW(box, nullptr, L"Static", nullptr));
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  visit.text = WindowText(edit);
  visit.selection = static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0));
  visit.editLimit = static_cast<LONG>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
  if (!visit.typed.empty()) SetWindowTextW(edit, visit.typed.c_str());
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(visit.button, BN_CLICKED), 0);
}

class InputBoxTest : public ControlsTest {
 protected:
  std::optional<std::wstring> Show(const std::wstring& typed, int button) {
    visit = {};
    visit.typed = typed;
    visit.button = button;
    SetTimer(nullptr, 0, 20, PlayTheUser);
    return ShowInputBox(context_, L"Rename...", L"Enter new name for 'a.dff'...", L"a.dff");
  }
};

TEST_F(InputBoxTest, ShowsThePromptAndTheWholeTextSelectedAndReturnsTheEditOnOk) {
  auto answer = Show(L"b.dff", IDOK);
  EXPECT_EQ(visit.caption, L"Rename...");
  EXPECT_EQ(visit.prompt, L"Enter new name for 'a.dff'...");
  EXPECT_EQ(visit.text, L"a.dff");
  EXPECT_EQ(LOWORD(visit.selection), 0);
  EXPECT_EQ(HIWORD(visit.selection), 5);
  EXPECT_EQ(visit.editLimit, 255);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, L"b.dff");
}

TEST_F(InputBoxTest, CancelGivesNothing) { EXPECT_FALSE(Show(L"b.dff", IDCANCEL).has_value()); }

// Presses a key in the message box that comes up, as the keyboard would.
WPARAM keyToPress = 0;

void CALLBACK PressKeyInTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND focus = GetFocus();
  if (!focus || !FindWindowW(L"#32770", nullptr)) return;
  KillTimer(nullptr, timer);
  PostMessageW(focus, WM_KEYDOWN, keyToPress, 1);
  PostMessageW(focus, WM_KEYUP, keyToPress, 1 | (3u << 30));
}

MessageResult AnswerWithKey(const UiContext& context, MessageKind kind, WPARAM key) {
  keyToPress = key;
  SetTimer(nullptr, 0, 20, PressKeyInTheBox);
  return ShowMessageBox(context, kind, L"Confirm", L"Delete the selected entries?");
}

TEST(MessageBoxes, AConfirmationDefaultsToYesAndEscapeAnswersNo) {
  UiContext context;
  EXPECT_EQ(AnswerWithKey(context, MessageKind::Confirmation, VK_RETURN), MessageResult::Yes);
  EXPECT_EQ(AnswerWithKey(context, MessageKind::Confirmation, VK_ESCAPE), MessageResult::No);
  EXPECT_EQ(AnswerWithKey(context, MessageKind::Information, VK_ESCAPE), MessageResult::No);
  EXPECT_EQ(AnswerWithKey(context, MessageKind::Warning, VK_RETURN), MessageResult::Ok);
}

TEST(OpenDialogAnswer, OneFileIsItsFullPathAndSeveralAreJoinedToTheirFolder) {
  EXPECT_EQ(ChosenFiles(L"C:\\games\\gta3.img\0"),
            (std::vector<std::wstring>{L"C:\\games\\gta3.img"}));
  EXPECT_EQ(ChosenFiles(L"C:\\games\0a.dff\0b.txd\0"),
            (std::vector<std::wstring>{L"C:\\games\\a.dff", L"C:\\games\\b.txd"}));
  EXPECT_EQ(ChosenFiles(L"C:\\\0a.dff\0b.txd\0"),
            (std::vector<std::wstring>{L"C:\\a.dff", L"C:\\b.txd"}));
  EXPECT_TRUE(ChosenFiles(L"\0").empty());
}

TEST(OpenDialogFilters, PairsEndedByZerosAndTheListByAnother) {
  constexpr wchar_t kExpected[] = L"GTA IMG Archive (*.img)\0*.img\0All files\0*.*\0";
  EXPECT_EQ(FilterList({{L"GTA IMG Archive (*.img)", L"*.img"}, {L"All files", L"*.*"}}),
            std::wstring(kExpected, std::size(kExpected)));
}

// Sort keys order texts as the system's comparison does.
int Compared(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

TEST(SystemServices, SortKeysIgnoreCaseAndPutThePercentSignFirst) {
  System system;
  auto key = [&](const std::wstring& text) {
    std::string keys = "earlier keys";
    system.AppendSortKey(keys, text);
    return keys.substr(12);
  };
  EXPECT_EQ(key(L"B.DFF%0"), key(L"b.dff%0"));
  EXPECT_LT(key(L"a.dff%1"), key(L"B.DFF%0"));
  EXPECT_LT(key(L"a.txd%3"), key(L"a.txd2%1"));
  EXPECT_LT(key(L"x%10"), key(L"x%9"));
  EXPECT_GT(key(L"b"), key(L"A"));
  const std::vector<std::wstring> texts = {
      L"a%1", L"A%2", L"b_c%3", L"b-c%4", L"bc%5", L"Имя%6", L"имя%7", L"z%8", L"1%9", L"%10",
      L"a.txd2%1", L"a.txd%0", L"ñ%3", L"N%4",
      // keys longer than the usual names' buffer
      std::wstring(300, L'a') + L"%1", std::wstring(300, L'A') + L"b%2"};
  for (const auto& a : texts)
    for (const auto& b : texts) {
      const int byKey = key(a).compare(key(b));
      const int bySystem = Compared(a, b);
      EXPECT_EQ(byKey < 0, bySystem < 0) << ToUtf8(a) << " / " << ToUtf8(b);
      EXPECT_EQ(byKey > 0, bySystem > 0) << ToUtf8(a) << " / " << ToUtf8(b);
    }
}

// Names become text straight into the row being built: after what it holds, exactly as the
// system converts the whole name from Windows-1251, whatever the user's own code page.
TEST(CodePage, NamesConvertAsTheSystemConvertsWindows1251AndAppendToTheRow) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  wchar_t converted[256];
  const int n = MultiByteToWideChar(1251, 0, everyByte.data(), 255, converted, 256);
  ASSERT_GT(n, 0);
  std::wstring row = L"12%";
  codepage::AppendText(row, everyByte);
  EXPECT_EQ(row, L"12%" + std::wstring(converted, static_cast<size_t>(n)));
  codepage::AppendText(row, "");
  EXPECT_EQ(row.size(), 3 + static_cast<size_t>(n));
  EXPECT_EQ(codepage::ToText("a.dff"), L"a.dff");
  // and a name typed in goes back to the very bytes
  EXPECT_EQ(codepage::ToBytes(row.substr(3)), everyByte);
}

}  // namespace
}  // namespace vandrel::win32
