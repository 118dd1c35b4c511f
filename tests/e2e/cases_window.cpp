// The real window hands the user's keys, menu commands and dialogs to the program: a shortcut
// key runs its item, Ctrl+L brings up the open dialog, the find dialog works modelessly.
#include <filesystem>

#include "app/menu_items.h"
#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

class WindowTest : public E2eTest {
 protected:
  std::wstring MakeArchive(const std::wstring& name, int count = 6) const {
    WriteV2(Path(name), NumberedEntries(count, DirectoryEndSectorV2(count)));
    return Path(name);
  }
};

TEST_F(WindowTest, AShortcutKeyRunsItsItem) {
  // Find Next searches for the text remembered from an earlier run.
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"LastFindStr", L"MODEL0003");
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  PressKey(window, VK_F3);
  ASSERT_TRUE(WaitUntil([&] { return program->StatusText(0) == L"Match found."; }));
  EXPECT_EQ(SelectedCount(program->List()), 1);
  EXPECT_TRUE(IsRowSelected(program->List(), 3));
  EXPECT_EQ(CaretRow(program->List()), 3);
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(WindowTest, AChosenMenuCommandRuns) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(RowCount(program->List()), 6);
  PostCommand(window, miClose);
  ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 0; }));
  EXPECT_EQ(program->StatusText(0), L"Архив закрыт   ");
  EXPECT_EQ(program->StatusText(1), L"");
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(WindowTest, CtrlLOpensTheChosenArchiveAndRemembersItsFolder) {
  std::wstring archive = MakeArchive(L"chosen.img", 4);
  HWND window = nullptr;
  auto program = StartToMainWindow({}, window);
  ASSERT_NE(window, nullptr);
  PressKey(window, 'L', kCtrl);
  HWND open = program->Dialog(kPatience, L"Open...");
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(FillOpenDialog(open, archive));
  ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 4; }));
  EXPECT_EQ(WindowText(window), L"Vandrel 2.0 - chosen.img - quarrymoor.example");
  ASSERT_TRUE(CloseAndWait(*program));
  auto remembered = Setting(L"LastOpenDir");
  ASSERT_TRUE(remembered.has_value());
  EXPECT_EQ(_wcsicmp(remembered->text.c_str(), (folder() + L"\\").c_str()), 0) << remembered->text;
}

TEST_F(WindowTest, TheFindDialogKeepsTheWindowBusyUntilItsSearchClosesIt) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  PressKey(window, VK_F2);
  HWND find = program->Dialog();
  ASSERT_NE(find, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(program->List()); }))
      << "busy while the dialog is open";
  HWND field = GetDlgItem(find, 1152);  // edt1
  ASSERT_NE(field, nullptr);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0004"));
  PressButton(find, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(find); })) << "Find Next closes the dialog";
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(program->List()); }));
  EXPECT_EQ(program->StatusText(0), L"Match found.");
  EXPECT_TRUE(IsRowSelected(program->List(), 4));
  ASSERT_TRUE(CloseAndWait(*program));
  auto remembered = Setting(L"LastFindStr");
  ASSERT_TRUE(remembered.has_value());
  EXPECT_EQ(remembered->text, L"0004");
}

TEST_F(WindowTest, TheFolderBrowserReturnsTheChosenFolder) {
  std::wstring remembered = Path(L"before"), chosen = Path(L"out");
  std::filesystem::create_directories(std::filesystem::path(remembered));
  std::filesystem::create_directories(std::filesystem::path(chosen));
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"LastFileDir", remembered);
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  // The first row is selected as the archive opens.
  PressKey(window, 'E', kCtrl);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr);
  EXPECT_NE(FindDescendant(browser, L"Static"), nullptr);
  ASSERT_TRUE(program->ChooseFolder(browser, chosen))
      << "the browser shows " << program->BrowserSelection(browser);
  std::filesystem::path extracted = std::filesystem::path(chosen) / L"model0000.dff";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(extracted); }));
  ASSERT_TRUE(WaitUntil([&] { return program->StatusText(0) == L"File(s) extracted."; }));
  EXPECT_EQ(std::filesystem::file_size(extracted), static_cast<uintmax_t>(kSector));
  ASSERT_TRUE(CloseAndWait(*program));
  auto saved = Setting(L"LastFileDir");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(_wcsicmp(saved->text.c_str(), (chosen + L"\\").c_str()), 0) << saved->text;
}

}  // namespace
}  // namespace vandrel::e2e
