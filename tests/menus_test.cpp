// The menus: which items each enabling handler allows, shortcut keys that run an item only when
// it is allowed, and the dispatch of a chosen item.
#include <gtest/gtest.h>

#include "app/menu_items.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/utf8.h"
#include "tests/archive_window_fixture.h"

namespace vandrel {
namespace {

constexpr wchar_t kAddTitle[] = L"Добавить... ";
constexpr wchar_t kReplaceTitle[] = L"Замена... ";

const Shortcut kCtrlA{true, 'A'}, kCtrlE{true, 'E'}, kCtrlL{true, 'L'}, kCtrlR{true, 'R'};
const Shortcut kDel{false, kKeyDelete}, kF1{false, kKeyF1}, kF2{false, kKeyF2}, kF3{false, kKeyF3},
    kF4{false, kKeyF4};
const Shortcut kEveryShortcut[] = {kCtrlL, kF2, kF3, kCtrlA, kCtrlE, kCtrlR, kDel, kF4, kF1};

class MenusTest : public testing::ArchiveWindowTest {
 protected:
  void OpenThree() { OpenNames({"a.dff", "b.txd", "c.col"}); }

  // A fingerprint of everything a command could show or change.
  struct Trace {
    size_t journal, finds;
    std::vector<int> selected;
    bool loaded, closed;
    bool operator==(const Trace&) const = default;
  };
  Trace Now() const {
    return {sp.journal.size(), sp.dialogs.findRequests().size(), SelectedRows(), IMGArchive.bLoaded,
            sp.window.closed()};
  }

  std::vector<std::wstring> OpenDialogTitles() const {
    std::vector<std::wstring> titles;
    for (const auto& request : sp.dialogs.openFileRequests()) titles.push_back(request.title);
    return titles;
  }
};

struct SelectionCase {
  const char* name;
  bool open;
  std::vector<int> rows;
  bool add, extract, replace;  // Add and Rebuild; Extract and Delete; Replace and Rename
};

const SelectionCase kSelections[] = {
    {"NoArchive", false, {}, false, false, false},
    {"NothingSelected", true, {}, true, false, false},
    {"OneRow", true, {1}, true, true, true},
    {"SeveralRows", true, {0, 2}, true, true, false},
};

class EnablingTest : public MenusTest, public ::testing::WithParamInterface<SelectionCase> {
 protected:
  void SetUp() override {
    if (GetParam().open) OpenThree();
    sp.list.UserSelect(GetParam().rows, GetParam().rows.empty() ? 0 : GetParam().rows.back());
  }
  // Every item starts in the state opposite to the expected one, so a handler that skips an
  // item is caught.
  void ExpectAfterOpening(int menu, const std::vector<std::pair<int, bool>>& expected) {
    for (auto [item, enabled] : expected) sp.menus.SetEnabled(item, !enabled);
    fm.MenuOpening(menu);
    for (auto [item, enabled] : expected)
      EXPECT_EQ(sp.menus.IsEnabled(item), enabled) << FindMenuEntry(item)->caption;
  }
};

TEST_P(EnablingTest, CommandsInBothMenusFromEitherOpening) {
  const SelectionCase& c = GetParam();
  for (int menu : {int{miCommands}, int{pmMenu}}) {
    SCOPED_TRACE(menu == pmMenu ? "shortcut menu opened" : "Commands menu opened");
    ExpectAfterOpening(menu, {{miAdd, c.add},
                              {miRebuild, c.add},
                              {miExtract, c.extract},
                              {miDelete, c.extract},
                              {miReplace, c.replace},
                              {miRename, c.replace},
                              {miPMExtract, c.extract},
                              {miPMDelete, c.extract},
                              {miPMReplace, c.replace},
                              {miPMRename, c.replace}});
  }
}

TEST_P(EnablingTest, FileEditAndToolsFollowTheOpenArchiveOnly) {
  const bool open = GetParam().open;
  ExpectAfterOpening(miFile, {{miClose, open}});
  ExpectAfterOpening(miEdit, {{miSelectAll, open}, {miFind, open}, {miFindNext, open}});
  ExpectAfterOpening(miTools, {{miSort, open}});
  for (int item : {miOpen, miExit, miOptions, miDoHelp, miAbout})
    EXPECT_TRUE(sp.menus.IsEnabled(item));
}

INSTANTIATE_TEST_SUITE_P(Selections, EnablingTest, ::testing::ValuesIn(kSelections),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenusTest, ToolsMenuChecksTheOrderInForce) {
  Options.SortType = kSortByName;
  fm.MenuOpening(miTools);
  EXPECT_TRUE(sp.menus.IsChecked(miSortName));
  EXPECT_FALSE(sp.menus.IsChecked(miSortOffset));

  Options.SortType = kSortByDirectory;
  fm.MenuOpening(miTools);
  EXPECT_TRUE(sp.menus.IsChecked(miSortOffset));
  EXPECT_FALSE(sp.menus.IsChecked(miSortName));

  Options.SortType = 7;  // only an edited settings store holds this
  fm.MenuOpening(miTools);
  EXPECT_FALSE(sp.menus.IsChecked(miSortOffset));
  EXPECT_FALSE(sp.menus.IsChecked(miSortName));
}

TEST_F(MenusTest, KeysNoItemCarriesAreLeftToTheWindow) {
  for (Shortcut key : {Shortcut{false, 'A'}, Shortcut{false, 'L'}, Shortcut{true, 'Z'},
                       Shortcut{false, kKeyF1 + 4}, Shortcut{true, kKeyDelete}, Shortcut{}})
    EXPECT_FALSE(fm.ShortcutPressed(key)) << key.ctrl << " " << key.key;
  for (Shortcut key : kEveryShortcut) EXPECT_TRUE(fm.ShortcutPressed(key)) << key.key;
}

TEST_F(MenusTest, WithNoArchiveOnlyOpenAndHelpKeysRun) {
  const Trace before = Now();
  for (Shortcut key : {kDel, kF4, kCtrlE, kCtrlR, kCtrlA, kF2, kF3}) fm.ShortcutPressed(key);
  EXPECT_EQ(Now(), before);

  fm.ShortcutPressed(kCtrlL);
  EXPECT_EQ(OpenDialogTitles(), std::vector<std::wstring>{L"Open..."});
}

TEST_F(MenusTest, KeysRecomputeStatesLeftStaleSinceTheMenuLastOpened) {
  OpenThree();
  sp.list.UserSelect({1}, 1);
  fm.MenuOpening(miCommands);
  ASSERT_TRUE(sp.menus.IsEnabled(miReplace));

  sp.list.UserSelect({0, 1}, 1);
  fm.ShortcutPressed(kCtrlR);
  fm.ShortcutPressed(kF4);
  EXPECT_TRUE(OpenDialogTitles().empty());
  EXPECT_FALSE(sp.menus.IsEnabled(miRename));

  sp.list.UserSelect({2}, 2);
  fm.ShortcutPressed(kCtrlR);
  EXPECT_EQ(OpenDialogTitles(), std::vector<std::wstring>{kReplaceTitle});
}

TEST_F(MenusTest, ExtractKeyNeedsASelectedRow) {
  OpenThree();
  sp.list.UserSelect({}, 0);
  fm.ShortcutPressed(kCtrlE);
  EXPECT_TRUE(sp.dialogs.folderRequests().empty());
  sp.list.UserSelect({0, 2}, 2);
  fm.ShortcutPressed(kCtrlE);
  EXPECT_EQ(sp.dialogs.folderRequests().size(), 1u);
}

TEST_F(MenusTest, CtrlARunsAddNotSelectAll) {
  OpenThree();
  fm.ShortcutPressed(kCtrlA);
  EXPECT_EQ(OpenDialogTitles(), std::vector<std::wstring>{kAddTitle});
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(FindMenuEntry(miSelectAll)->shortcut, Shortcut{});
}

TEST_F(MenusTest, BusyStateBlocksEveryKey) {
  OpenThree();
  fm.Working(true);
  const Trace before = Now();
  for (Shortcut key : kEveryShortcut) EXPECT_TRUE(fm.ShortcutPressed(key));
  EXPECT_EQ(Now(), before);

  fm.Working(false);
  fm.ShortcutPressed(kF3);
  EXPECT_EQ(StatusHistory().back(), L"No matches found.");
}

TEST_F(MenusTest, EachItemReachesItsHandler) {
  OpenThree();
  fm.MenuItemChosen(miAdd);
  fm.MenuItemChosen(miReplace);
  fm.MenuItemChosen(miPMReplace);
  fm.MenuItemChosen(miOpen);
  EXPECT_EQ(OpenDialogTitles(),
            (std::vector<std::wstring>{kAddTitle, kReplaceTitle, kReplaceTitle, L"Open..."}));
  fm.MenuItemChosen(miExtract);
  fm.MenuItemChosen(miPMExtract);
  EXPECT_EQ(sp.dialogs.folderRequests().size(), 2u);

  fm.MenuItemChosen(miSortName);
  EXPECT_EQ(Options.SortType, kSortByName);
  fm.MenuItemChosen(miSortOffset);
  EXPECT_EQ(Options.SortType, kSortByDirectory);
  EXPECT_EQ(StatusHistory().back(), L"List sorted.");

  fm.MenuItemChosen(miFind);
  EXPECT_TRUE(sp.dialogs.findDialogOpen());
  sp.dialogs.CancelFind();
  fm.MenuItemChosen(miFindNext);
  EXPECT_EQ(StatusHistory().back(), L"No matches found.");

  fm.MenuItemChosen(miSelectAll);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2}));
  fm.MenuItemChosen(miClose);
  EXPECT_FALSE(IMGArchive.bLoaded);
}

TEST_F(MenusTest, MenusThemselvesAndUnknownTagsRunNothing) {
  OpenThree();
  const Trace before = Now();
  for (int item : {0, int{miFile}, int{miEdit}, int{miCommands}, int{miTools}, int{miSort},
                   int{miHelp}, int{pmMenu}, 999})
    fm.MenuItemChosen(item);
  for (int tag : {-1, 0, 7}) fm.CommandSelect(tag);
  fm.MenuOpening(miHelp);
  EXPECT_EQ(Now(), before);
}

TEST_F(MenusTest, SelectAllSelectsEveryRowAndCountsThem) {
  OpenThree();
  const std::wstring firstPanel = sp.statusBar.Text(0);
  fm.miSelectAllClick();
  EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(sp.statusBar.Text(1), L"3 files (3)");
  EXPECT_EQ(sp.statusBar.Text(0), firstPanel);
}

TEST_F(MenusTest, ARightClickOnAnUnselectedRowSelectsItAloneBeforeTheMenuOpens) {
  OpenThree();
  sp.list.UserSelect({0}, 0);
  fm.lbDisplayContextPopup(2);
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(sp.list.Caret(), 2);
  EXPECT_EQ(sp.statusBar.Text(1), L"3 files (1)");
  EXPECT_TRUE(sp.menus.IsEnabled(miPMRename)) << "the menu is set for the new selection";

  // On a selected row, from the keyboard (-1) or below the rows, the selection stays.
  sp.list.UserSelect({0, 2}, 0);
  for (int row : {2, -1, 3}) {
    fm.lbDisplayContextPopup(row);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 2})) << row;
    EXPECT_EQ(sp.list.Caret(), 0) << row;
    EXPECT_FALSE(sp.menus.IsEnabled(miPMRename)) << row;
  }
}

TEST(MenuTableTest, EveryTopLevelMenuHasItsOwnAccessKeyFromItsCaption) {
  std::wstring keys;
  for (const auto& entry : MainMenu()) {
    if (entry.parent != 0) continue;
    EXPECT_NE(std::wstring(entry.caption).find(entry.accessKey), std::wstring::npos)
        << entry.caption;
    EXPECT_EQ(keys.find(entry.accessKey), std::wstring::npos) << entry.caption;
    keys += entry.accessKey;
  }
  EXPECT_EQ(keys, L"FECTH");
}

// Row by row, selecting all of 20,000 rows took half a minute in the real window.
TEST_F(MenusTest, SelectAllAndFindSetTheSelectionOfAllRowsInOneStep) {
  OpenNames(std::vector<std::string>(500, "m.dff"));
  const int before = sp.list.singleSelections();
  fm.miSelectAllClick();
  EXPECT_EQ(sp.list.SelectedCount(), 500);
  fm.DoFind(true, L"m.dff");
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_LE(sp.list.singleSelections() - before, 1) << "only the match is selected by itself";
}

TEST_F(MenusTest, SelectAllOnAnEmptyArchive) {
  OpenNames({});
  fm.miSelectAllClick();
  EXPECT_EQ(sp.statusBar.Text(1), L"0 files (0)");
}

TEST_F(MenusTest, CancelledOpenKeepsArchiveAndFolder) {
  OpenThree();
  const std::wstring path = IMGArchive.IMGFile;
  Options.LastOpenDir = L"C:\\Games\\";
  fm.miOpenClick();
  ASSERT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  EXPECT_EQ(sp.dialogs.openFileRequests()[0].initialDir, L"C:\\Games\\");
  EXPECT_TRUE(IMGArchive.bLoaded);
  EXPECT_EQ(IMGArchive.IMGFile, path);
  EXPECT_EQ(Options.LastOpenDir, L"C:\\Games\\");
}

TEST_F(MenusTest, ConfirmedOpenRemembersTheFolderWithItsSeparator) {
  std::wstring other = testing::MakeV1(tmp, "other", {{"x.dff", 0, 1}}, testing::Bytes(2048));
  sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{other});
  fm.miOpenClick();
  EXPECT_EQ(IMGArchive.IMGFile, other);
  EXPECT_EQ(Options.LastOpenDir, FromUtf8(tmp.root().string()) + L"/");
  EXPECT_EQ(sp.list.Count(), 1);
}

TEST_F(MenusTest, ExitClosesTheArchiveThenTheWindow) {
  OpenThree();
  fm.MenuItemChosen(miExit);
  EXPECT_FALSE(IMGArchive.bLoaded);
  EXPECT_EQ(sp.list.Count(), 0);
  EXPECT_TRUE(sp.window.closed());
}

}  // namespace
}  // namespace vandrel
