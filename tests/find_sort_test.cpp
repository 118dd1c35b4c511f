// Find and Find Next through the find dialog and the keys, and the two orders of the list.
#include <gtest/gtest.h>

#include "app/menu_items.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "tests/archive_window_fixture.h"

namespace vandrel {
namespace {

const Shortcut kF2{false, kKeyF2}, kF3{false, kKeyF3};

class FindTest : public testing::ArchiveWindowTest {
 protected:
  bool Busy() const {
    return !sp.list.enabled() && !sp.menus.IsEnabled(miEdit) &&
           sp.window.cursor() == Cursor::Hourglass;
  }
  bool Idle() const {
    for (int item : {miFile, miEdit, miCommands, miTools, miHelp})
      if (!sp.menus.IsEnabled(item)) return false;
    return sp.list.enabled() && sp.list.hasFocus() && sp.window.cursor() == Cursor::Default;
  }
  void FindInDialog(const std::wstring& text) {
    fm.ShortcutPressed(kF2);
    sp.dialogs.PressFindNext(text);
  }
  // The rows a search visits: the first match, then each Find Next while it moves down.
  std::vector<int> Matches(const std::wstring& text) {
    std::vector<int> found;
    fm.DoFind(false, text);
    while (SelectedRows().size() == 1 && (found.empty() || SelectedRows()[0] > found.back())) {
      found.push_back(SelectedRows()[0]);
      fm.DoFind(true, text);
    }
    return found;
  }
};

TEST_F(FindTest, DialogShowsOnlyItsTextAndKeepsTheWindowBusyUntilClosed) {
  OpenNames({"a.dff", "b.txd"});
  Options.LastFindStr = L"dff";
  fm.ShortcutPressed(kF2);
  ASSERT_EQ(sp.dialogs.findRequests().size(), 1u);
  const FindDialogRequest& request = sp.dialogs.findRequests()[0];
  EXPECT_EQ(request.text, L"dff");
  EXPECT_TRUE(request.hideMatchCase && request.hideWholeWord && request.hideUpDown);
  EXPECT_TRUE(Busy());

  fm.ShortcutPressed(kF2);
  fm.ShortcutPressed(kF3);
  EXPECT_EQ(sp.dialogs.findRequests().size(), 1u);
  EXPECT_NE(StatusHistory().back(), L"Searching...");

  sp.dialogs.CancelFind();
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Options.LastFindStr, L"dff");
}

TEST_F(FindTest, DialogSearchesFromTheTopThenFindNextGoesOnBelowTheCurrentRow) {
  OpenNames({"a.dff", "b.txd", "c.txd", "d.dff"});
  sp.list.UserSelect({3}, 3);
  FindInDialog(L"txd");
  EXPECT_FALSE(sp.dialogs.findDialogOpen());
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Options.LastFindStr, L"txd");
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(sp.list.Caret(), 1);
  EXPECT_EQ(std::vector<std::wstring>(StatusHistory().end() - 2, StatusHistory().end()),
            (std::vector<std::wstring>{L"Searching...", L"Match found."}));

  fm.ShortcutPressed(kF3);
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});

  // Only the fourth row is left below; the search never goes round.
  for (int again = 0; again < 2; ++again) {
    fm.ShortcutPressed(kF3);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(sp.list.Caret(), 2);
    EXPECT_EQ(StatusHistory().back(), L"No matches found.");
    EXPECT_TRUE(Idle());
  }
}

TEST_F(FindTest, FindNextFromTheLastRowStartsAgainAtTheFirst) {
  OpenNames({"a.dff", "b.txd", "c.txd"});
  FindInDialog(L"TXD");
  fm.ShortcutPressed(kF3);
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  fm.ShortcutPressed(kF3);
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(FindTest, OnlyPlainLatinLettersIgnoreCase) {
  // "модель.dff" and "МОДЕЛЬ.txd" in the ANSI code page.
  OpenNames({"bar.txd", "Foo.TXD", "txdlist", "tx.d", "\xEC\xEE\xE4\xE5\xEB\xFC.dff",
             "\xCC\xCE\xC4\xC5\xCB\xDC.txd"});
  EXPECT_EQ(Matches(L"TXD"), (std::vector<int>{0, 1, 2, 5}));
  EXPECT_EQ(Matches(L"txd"), (std::vector<int>{0, 1, 2, 5}));
  EXPECT_EQ(Matches(L"модель.DFF"), std::vector<int>{4});
  EXPECT_EQ(Matches(L"МОДЕЛЬ"), std::vector<int>{5});
  EXPECT_EQ(Matches(L"Модель"), std::vector<int>{});
}

TEST_F(FindTest, EmptyTextNeverMatches) {
  OpenNames({"a.dff", "b.txd"});
  sp.list.UserSelect({0, 1}, 0);
  Options.LastFindStr = L"dff";
  FindInDialog(L"");
  EXPECT_EQ(Options.LastFindStr, L"");
  EXPECT_TRUE(SelectedRows().empty());
  EXPECT_EQ(StatusHistory().back(), L"No matches found.");
}

TEST_F(FindTest, FindNextBeforeAnySearchUsesTheLoadedText) {
  Options.LastFindStr = L"c";
  OpenNames({"c0", "b", "c2", "a"});
  fm.ShortcutPressed(kF3);
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(FindTest, AMatchLeavesOnlyItsRowSelected) {
  OpenNames({"a", "b", "c", "d"});
  sp.list.UserSelect({0, 1, 2, 3}, 0);
  fm.DoFind(false, L"C");
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(FindTest, SearchFollowsTheRowsNotTheDirectory) {
  Options.SortType = kSortByName;
  OpenNames({"b1", "a1", "c1"});
  fm.DoFind(false, L"1");
  EXPECT_EQ(fm.GetFileIndex(SelectedRows().at(0)), 1);
}

class SortTest : public testing::ArchiveWindowTest {};

TEST_F(SortTest, NameOrderAndBackToDirectoryOrder) {
  OpenNames({"b", "A", "a"});
  fm.MenuItemChosen(miSortName);
  EXPECT_EQ(Options.SortType, kSortByName);
  EXPECT_EQ(RowIndices(), (std::vector<int>{1, 2, 0}));
  fm.MenuOpening(miTools);
  EXPECT_TRUE(sp.menus.IsChecked(miSortName));

  fm.MenuItemChosen(miSortOffset);
  EXPECT_EQ(Options.SortType, kSortByDirectory);
  EXPECT_EQ(RowIndices(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(StatusHistory().back(), L"List sorted.");
}

TEST_F(SortTest, SortedIsShownEvenWhenTheOrderWasInForce) {
  OpenNames({"b", "a"});
  const size_t before = StatusHistory().size();
  fm.SortClick(1);
  fm.SortClick(0);  // no such item: the order stays
  EXPECT_EQ(Options.SortType, kSortByDirectory);
  EXPECT_EQ(std::vector<std::wstring>(StatusHistory().begin() + before, StatusHistory().end()),
            (std::vector<std::wstring>{L"List sorted.", L"List sorted."}));
}

// A sort changes where the chosen entry stands, never which entry is chosen: what the user
// deletes next is the entry picked before sorting, in either direction, even from several
// selected rows.
TEST_F(SortTest, TheEntryUnderTheCaretStaysChosenAlone) {
  OpenNames({"infernus.dff", "gang_rail67.ipl", "zebra.txd", "admiral.dff"});
  sp.list.UserSelect({0, 2}, 0);
  fm.MenuItemChosen(miSortName);
  EXPECT_EQ(RowIndices(), (std::vector<int>{3, 1, 0, 2}));
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(sp.list.Caret(), 2);
  EXPECT_EQ(sp.statusBar.Text(1), L"4 files");

  sp.list.UserSelect({3}, 3);
  fm.MenuItemChosen(miSortOffset);
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(sp.list.Caret(), 2);

  sp.list.UserSelect({0}, 0);
  fm.MenuItemChosen(miSortName);
  sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
  fm.ShortcutPressed({false, kKeyDelete});
  std::vector<std::wstring> left;
  for (const auto& entry : IMGArchive.Files) left.push_back(NameText(entry));
  EXPECT_EQ(left, (std::vector<std::wstring>{L"gang_rail67.ipl", L"zebra.txd", L"admiral.dff"}));
}

}  // namespace
}  // namespace vandrel
