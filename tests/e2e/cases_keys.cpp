// The keyboard and the mouse as a user works them, after every kind of command: real key
// presses and clicks reach the list only while it holds the keyboard focus, so each case goes
// on with a key after the command it tries.
#include <filesystem>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

class KeysTest : public E2eTest {
 protected:
  // Six entries; the names of rows 1, 3 and 5 end in ".txd".
  void SetUp() override {
    WriteV2(Path(L"keys.img"), NumberedEntries(6, DirectoryEndSectorV2(6)));
    program = StartToMainWindow({Path(L"keys.img")}, window);
    ASSERT_NE(window, nullptr);
    list = program->List();
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 6; }));
  }
  void TearDown() override { EXPECT_TRUE(CloseAndWait(*program)); }

  std::wstring Folder(const std::wstring& name) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)));
    return Path(name);
  }
  bool OnlyRowSelected(int row) const {
    return WaitUntil([&] {
      return SelectedCount(list) == 1 && IsRowSelected(list, row) && CaretRow(list) == row;
    });
  }
  bool Finished(const std::wstring& status) const {
    return WaitUntil([&] { return program->StatusText(0) == status && IsEnabled(list); });
  }
  // Down moves the caret (and the selection) one row on: the list has the keys.
  bool DownMovesOnFrom(int row) const {
    PressKey(window, VK_DOWN);
    return OnlyRowSelected(row + 1);
  }
  static std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& file : std::filesystem::directory_iterator(std::filesystem::path(folder)))
      names.push_back(file.path().filename().wstring());
    return names;
  }

  std::unique_ptr<Program> program;
  HWND window = nullptr, list = nullptr;
};

TEST_F(KeysTest, F3ThreeTimesFindsThreeSuccessiveMatchesAndTheArrowsStillWork) {
  PressKey(window, VK_F2);
  HWND find = program->Dialog();
  ASSERT_NE(find, nullptr);
  TypeText(find, L"txd");
  PressKey(find, VK_RETURN);
  ASSERT_TRUE(OnlyRowSelected(1));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(find) && IsEnabled(list); }));
  for (int expected : {3, 5, 1}) {
    PressKey(window, VK_F3);
    EXPECT_TRUE(OnlyRowSelected(expected)) << "F3 towards row " << expected;
  }
  EXPECT_TRUE(DownMovesOnFrom(1));
}

TEST_F(KeysTest, CtrlARightAfterAnExtractionOpensTheAddDialogListingTheFolder) {
  const std::wstring out = Folder(L"out");
  for (const wchar_t* name : {L"one.dff", L"two.txd", L"three", L"four.col"})
    WriteBytes(out + L"\\" + name, "data");
  ASSERT_TRUE(ClickRows(list, {2}));
  PressKey(window, 'E', kCtrl);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(program->ChooseFolder(browser, out));
  ASSERT_TRUE(Finished(L"File(s) extracted."));

  PressKey(window, 'A', kCtrl);
  HWND add = program->Dialog(kPatience, L"Добавить... ");
  ASSERT_NE(add, nullptr) << "Ctrl+A reached the window after the extraction";
  // The four files and the one just extracted, in the folder the extraction remembered.
  EXPECT_TRUE(WaitUntil([&] { return OpenDialogItemCount(add) == 5; }))
      << OpenDialogItemCount(add) << " listed";
  PressKey(add, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }));
  EXPECT_TRUE(DownMovesOnFrom(2)) << "after the Add dialog";
}

TEST_F(KeysTest, DownMovesTheCaretAfterToolsSortName) {
  // Through the menu bar by keyboard: Tools, its Sort submenu, then its second item.
  PressKey(window, 'T', kAlt);
  ASSERT_NE(program->OpenMenu(), nullptr);
  for (int key : {VK_RIGHT, VK_DOWN, VK_RETURN}) PressKey(window, key);
  ASSERT_TRUE(Finished(L"List sorted."));
  ASSERT_TRUE(OnlyRowSelected(0));
  EXPECT_TRUE(DownMovesOnFrom(0));
}

TEST_F(KeysTest, ARightClickOnAnUnselectedRowExtractsThatRow) {
  const std::wstring out = Folder(L"out");
  ASSERT_TRUE(ClickRows(list, {1}));
  ASSERT_TRUE(ClickRowUntil(list, 4, Button::Right, kNoModifiers,
                            [&] { return program->OpenMenu(Milliseconds(0)) != nullptr; }));
  EXPECT_TRUE(OnlyRowSelected(4)) << "selected before the menu opened";
  EXPECT_EQ(program->StatusText(1), L"6 files (1)");
  // Extract is the menu's first item.
  PressKey(window, VK_DOWN);
  PressKey(window, VK_RETURN);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(program->ChooseFolder(browser, out));
  ASSERT_TRUE(Finished(L"File(s) extracted."));
  EXPECT_EQ(FilesIn(out), std::vector<std::wstring>{L"model0004.dff"});
  EXPECT_TRUE(DownMovesOnFrom(4));
}

TEST_F(KeysTest, AltFOpensTheFileMenu) {
  PressKey(window, 'F', kAlt);
  ASSERT_NE(program->OpenMenu(), nullptr);
  // Its first item, Open, brings up the open dialog.
  PressKey(window, VK_RETURN);
  HWND open = program->Dialog(kPatience, L"Open...");
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(CancelAndWait(open));
  EXPECT_TRUE(DownMovesOnFrom(0)) << "after the open dialog";
}

// Wine now and then drops the first selection a browser is asked for; the remembered folder
// must be selected however often the browser opens.
TEST_F(KeysTest, TheFolderBrowserOpensOnTheRememberedFolderFiftyTimesInARow) {
  // Remembered from an earlier run, written after this one's settings were saved at its exit.
  const std::wstring remembered = Folder(L"remembered");
  ASSERT_TRUE(CloseAndWait(*program));
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"LastFileDir", remembered + L"\\");
  program = StartToMainWindow({Path(L"keys.img")}, window);
  ASSERT_NE(window, nullptr);
  list = program->List();
  for (int opening = 1; opening <= 50; ++opening) {
    PressKey(window, 'E', kCtrl);
    HWND browser = program->Dialog(kPatience, L"Extract Files...");
    ASSERT_NE(browser, nullptr) << "opening " << opening;
    ASSERT_TRUE(WaitUntil([&] { return program->BrowserSelection(browser) == L"remembered"; },
                          Milliseconds(3000)))
        << "opening " << opening << " shows " << program->BrowserSelection(browser);
    ASSERT_TRUE(CancelAndWait(browser));
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(list); }));
  }
}

}  // namespace
}  // namespace vandrel::e2e
