// The menus' rules seen from outside: a key runs its command only when the command applies,
// Select All, and Find Next going on from the find dialog's match. The menus themselves cannot
// be read across processes under Wine, so each case checks what the command does.
#include "app/menu_items.h"
#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

constexpr Milliseconds kNoDialog{500};

class MenusTest : public E2eTest {
 protected:
  // Six entries; the names of rows 1, 3 and 5 end in ".txd".
  std::wstring MakeArchive() const {
    WriteV2(Path(L"menus.img"), NumberedEntries(6, DirectoryEndSectorV2(6)));
    return Path(L"menus.img");
  }

  static bool OnlyRowSelected(HWND list, int row) {
    return WaitUntil([&] { return SelectedCount(list) == 1 && IsRowSelected(list, row); });
  }
};

// Keys are handled in the order pressed, so when a later key's dialog appears, an earlier key
// that had opened a dialog of its own would have lost that later key to it.
TEST_F(MenusTest, KeysOfCommandsThatNeedAnArchiveDoNothingWithoutOne) {
  HWND window = nullptr;
  auto program = StartToMainWindow({}, window);
  ASSERT_NE(window, nullptr);
  PressKey(window, VK_DELETE);
  PressKey(window, 'A', kCtrl);
  PressKey(window, 'L', kCtrl);
  HWND open = program->Dialog(kPatience, L"Open...");
  ASSERT_NE(open, nullptr) << "Ctrl+L opens an archive at any time";
  ASSERT_TRUE(CancelAndWait(open));
  EXPECT_EQ(program->Dialog(kNoDialog), nullptr) << "neither Del nor Ctrl+A opened anything";
  EXPECT_EQ(RowCount(program->List()), 0);
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(MenusTest, KeysForOneEntryDoNothingWithTwoSelected) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive()}, window);
  ASSERT_NE(window, nullptr);
  HWND list = program->List();

  ASSERT_TRUE(ClickRows(list, {1, 2}));
  PressKey(window, VK_F4);
  PressKey(window, 'R', kCtrl);
  PressKey(window, 'E', kCtrl);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr) << "Ctrl+E extracts several entries";
  ASSERT_TRUE(CancelAndWait(browser));
  EXPECT_EQ(program->Dialog(kNoDialog), nullptr) << "neither F4 nor Ctrl+R opened anything";

  ASSERT_TRUE(ClickRows(list, {2}));
  PressKey(window, 'R', kCtrl);
  HWND replace = program->Dialog(kPatience, L"Замена... ");
  ASSERT_NE(replace, nullptr) << "Ctrl+R replaces one entry";
  ASSERT_TRUE(CancelAndWait(replace));
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(MenusTest, SelectAllSelectsEveryRowAndCountsThem) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive()}, window);
  ASSERT_NE(window, nullptr);
  PostCommand(window, miSelectAll);
  ASSERT_TRUE(WaitUntil([&] { return SelectedCount(program->List()) == 6; }));
  EXPECT_EQ(program->StatusText(1), L"6 files (6)");
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(MenusTest, FindNextGoesOnFromTheDialogsMatchAndRoundFromTheLastRow) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive()}, window);
  ASSERT_NE(window, nullptr);
  HWND list = program->List();
  PressKey(window, VK_F2);
  HWND find = program->Dialog();
  ASSERT_NE(find, nullptr);
  HWND field = GetDlgItem(find, 1152);  // edt1
  ASSERT_NE(field, nullptr);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"TXD"));
  PressButton(find, IDOK);
  ASSERT_TRUE(OnlyRowSelected(list, 1));
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(list); })) << "the busy state ends on close";

  for (int expected : {3, 5, 1}) {
    PressKey(window, VK_F3);
    EXPECT_TRUE(OnlyRowSelected(list, expected)) << "F3 towards row " << expected;
    EXPECT_EQ(CaretRow(list), expected);
  }
  EXPECT_EQ(program->StatusText(0), L"Match found.");
  EXPECT_TRUE(CloseAndWait(*program));
}

}  // namespace
}  // namespace vandrel::e2e
