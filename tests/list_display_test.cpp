// The entry list: row texts, orders, the caret kept across refreshes, drawing and layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <random>

#include "app/list_rows.h"
#include "app/menu_items.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/memory_list.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using testing::MakeEntry;

TEST(RowText, PiecesInTheirFixedOrder) {
  EXPECT_EQ(RowText(3, MakeEntry({"b.dff", 1, 1})), L"3%b.dff?00000800/2 kb");
  EXPECT_EQ(RowText(0, MakeEntry({"", 0, 0})), L"0%?00000000/0 kb");
  EXPECT_EQ(RowText(1, MakeEntry({"max", 1048575, 3})), L"1%max?7FFFF800/6 kb");
}

TEST(RowText, IndicesSizesAndNamesAtTheirLimits) {
  EXPECT_EQ(RowText(1234567890, MakeEntry({"abcdefghijklmnopqrstuvwx", 0, 0x7FFFFFFF})),
            L"1234567890%abcdefghijklmnopqrstuvwx?00000000/4294967294 kb");
  EXPECT_EQ(RowText(10, MakeEntry({"\xC8\xEC\xFF", 0, -1})), L"10%Имя?00000000/-2 kb");
  EXPECT_EQ(RowText(9, MakeEntry({"a", 0, INT32_MIN})), L"9%a?00000000/-4294967296 kb");
}

TEST(RowTexts, EveryRowReachesTheListWholeEmptyOnesToo) {
  MemoryList list;
  list.AddRows({L"0%a?00000000/0 kb", L"", L"2%?00000000/0 kb", L""});
  EXPECT_EQ(list.rows(),
            (std::vector<std::wstring>{L"0%a?00000000/0 kb", L"", L"2%?00000000/0 kb", L""}));
  RowTexts none;
  list.AddRows(none);
  EXPECT_EQ(list.Count(), 4);
}

TEST(RowText, OffsetsOfLargeAndDamagedArchives) {
  EXPECT_EQ(OffsetHex(1048576), L"80000000");   // 2 GiB
  EXPECT_EQ(OffsetHex(2097151), L"FFFFF800");   // just below 4 GiB
  EXPECT_EQ(OffsetHex(2097152), L"100000000");  // 4 GiB needs a ninth digit
  EXPECT_EQ(OffsetHex(0x7FFFFFFF), L"3FFFFFFF800");
  EXPECT_EQ(OffsetHex(-1), L"FFFFF800");  // damaged: unsigned 32-bit bytes
  EXPECT_EQ(OffsetHex(INT32_MIN), L"00000000");
}

TEST(RowText, NamesHoldingDelimitersAreDrawnWhole) {
  TIMGFileEntry odd = MakeEntry({"a?b/c%d", 2, 3});
  std::wstring row = RowText(12, odd);
  EXPECT_EQ(row, L"12%a?b/c%d?00001000/6 kb");
  RowColumns columns = SplitRow(row);
  EXPECT_EQ(columns.name, L"a?b/c%d");
  EXPECT_EQ(columns.offset, L"00001000");
  EXPECT_EQ(columns.size, L"6 kb");
  EXPECT_EQ(SplitRow(L"3%b.dff?00000800/2 kb").name, L"b.dff");
}

class ListDisplayTest : public testing::WindowTest {
 protected:
  void Load(const std::vector<testing::EntryRecord>& entries) {
    IMGArchive.bLoaded = true;
    IMGArchive.Files.clear();
    for (const auto& record : entries) IMGArchive.Files.push_back(MakeEntry(record));
    IMGArchive.FileCount = static_cast<int32_t>(entries.size());
  }
  std::vector<int> RowIndices() {
    std::vector<int> indices;
    for (int row = 0; row < sp.list.Count(); ++row) indices.push_back(fm.GetFileIndex(row));
    return indices;
  }
};

TEST_F(ListDisplayTest, NameOrderIgnoresCaseAndBreaksTiesByIndexText) {
  Options.SortType = kSortByName;
  Load({{"B.DFF"}, {"a.dff"}, {"b.dff"}});
  fm.UpdateDisplay();
  EXPECT_EQ(RowIndices(), (std::vector<int>{1, 0, 2}));

  Load({{"b"}, {"A"}, {"a"}});
  fm.UpdateDisplay();
  EXPECT_EQ(RowIndices(), (std::vector<int>{1, 2, 0}));

  std::vector<testing::EntryRecord> elevenX(11, {"y"});
  elevenX[9].name = elevenX[10].name = "x";
  Load(elevenX);
  fm.UpdateDisplay();
  EXPECT_EQ(RowIndices()[0], 10);
  EXPECT_EQ(RowIndices()[1], 9);

  Load({{"a.txd2"}, {"a.txd"}});
  fm.UpdateDisplay();
  EXPECT_EQ(RowIndices(), (std::vector<int>{1, 0}));

  // Keys that first differ past their eighth byte, in a byte above 0x7F on one side.
  Load({{"abcd\xA0"}, {"abcdz"}});
  fm.UpdateDisplay();
  EXPECT_EQ(RowIndices(), (std::vector<int>{1, 0}));
}

// The order of a large list against the plain one: every key compared whole, byte by byte.
TEST(NameOrder, AgreesWithComparingTheKeysWholeOnManyNames) {
  std::mt19937 random(7);
  const std::string letters = "aAbB.-_%0129\xA0\xC0\xE0\xFF";
  std::vector<TIMGFileEntry> files;
  for (int i = 0; i < 3000; ++i) {
    std::string name = i % 3 ? "model" : "";
    for (size_t n = random() % 8; n > 0; --n) name += letters[random() % letters.size()];
    files.push_back(MakeEntry({name}));
  }
  scripted::System system;
  std::vector<std::string> keys(files.size());
  for (size_t i = 0; i < files.size(); ++i)
    system.AppendSortKey(keys[i], NameText(files[i]) + L"%" + std::to_wstring(i));
  std::vector<int> expected(files.size());
  std::iota(expected.begin(), expected.end(), 0);
  std::sort(expected.begin(), expected.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  EXPECT_EQ(NameOrder(files, system), expected);
}

TEST_F(ListDisplayTest, DirectoryOrderAndUnknownSortTypes) {
  Load({{"c", 9, 1}, {"a", 1, 1}, {"b", 5, 1}});
  for (uint8_t sort : {uint8_t{0}, uint8_t{2}, uint8_t{5}}) {
    Options.SortType = sort;
    fm.UpdateDisplay();
    EXPECT_EQ(RowIndices(), (std::vector<int>{0, 1, 2})) << int(sort);
    EXPECT_EQ(sp.statusBar.Text(1), L"3 files");
  }
}

TEST_F(ListDisplayTest, RefreshKeepsTheCaretsRowNumberWhileItExists) {
  std::vector<testing::EntryRecord> ten(10, {"e"});
  Load(ten);
  fm.UpdateDisplay();
  sp.list.UserSelect({3, 4, 9}, 9);
  fm.UpdateDisplay();
  EXPECT_EQ(sp.list.SelectedCount(), 1);
  EXPECT_TRUE(sp.list.IsSelected(9));
  EXPECT_EQ(sp.list.Caret(), 9);

  Load(std::vector<testing::EntryRecord>(5, {"e"}));
  fm.UpdateDisplay();
  EXPECT_EQ(sp.list.SelectedCount(), 0);
  EXPECT_EQ(sp.list.Count(), 5);
}

TEST_F(ListDisplayTest, SwitchingOrderKeepsTheRowNumberNotTheEntry) {
  Load({{"c"}, {"b"}, {"a"}});
  fm.UpdateDisplay();
  sp.list.UserSelect({0}, 0);
  Options.SortType = kSortByName;
  fm.UpdateDisplay();
  EXPECT_TRUE(sp.list.IsSelected(0));
  EXPECT_EQ(fm.GetFileIndex(0), 2);
}

TEST_F(ListDisplayTest, SelectionCountAppearsOnlyWhenTheUserActs) {
  Load(std::vector<testing::EntryRecord>(120, {"e"}));
  fm.UpdateDisplay();
  EXPECT_EQ(sp.statusBar.Text(1), L"120 files");
  sp.list.UserSelect({1, 2, 3}, 3);
  fm.lbDisplayClick();
  EXPECT_EQ(sp.statusBar.Text(1), L"120 files (3)");
}

TEST_F(ListDisplayTest, BusyStateDisablesListAndTopLevelMenus) {
  fm.Working(true);
  fm.Working(true);
  EXPECT_FALSE(sp.list.enabled());
  EXPECT_EQ(sp.window.cursor(), Cursor::Hourglass);
  for (int item : {miFile, miEdit, miCommands, miTools, miHelp})
    EXPECT_FALSE(sp.menus.IsEnabled(item));
  EXPECT_FALSE(sp.list.hasFocus());
  fm.Working(false);  // one call ends it, however many began it
  EXPECT_TRUE(sp.list.enabled());
  EXPECT_TRUE(sp.list.hasFocus()) << "the keys work again";
  EXPECT_EQ(sp.window.cursor(), Cursor::Default);
  for (int item : {miFile, miEdit, miCommands, miTools, miHelp})
    EXPECT_TRUE(sp.menus.IsEnabled(item));
}

// Records what is drawn so coordinates and styles can be checked.
class RecordingCanvas : public ICanvas {
 public:
  void FillRect(const Rect& rect) override {
    calls.push_back(L"fill " + std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top));
  }
  void SetBold(bool bold) override { bold_ = bold; }
  void SetTransparent(bool transparent) override {
    calls.push_back(transparent ? L"transparent" : L"opaque");
  }
  void TextOut(int x, int y, const std::wstring& text) override {
    calls.push_back((bold_ ? L"bold " : L"text ") + std::to_wstring(x) + L"," + std::to_wstring(y) +
                    L" " + text);
  }
  std::vector<std::wstring> calls;

 private:
  bool bold_ = false;
};

TEST_F(ListDisplayTest, RowsAndCaptionsAreDrawnAtTheirColumns) {
  sp.list.AddRows({L"3%b.dff?00000800/2 kb"});
  RecordingCanvas row;
  fm.lbDisplayDrawItem(row, 0, {2, 32, 323, 48});
  EXPECT_EQ(row.calls, (std::vector<std::wstring>{L"fill 2,32", L"bold 3,33 b.dff",
                                                  L"text 177,33 00000800", L"text 252,33 2 kb"}));
  RecordingCanvas window;
  fm.FormPaint(window);
  EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"transparent", L"bold 10,3 Имя файла",
                                                     L"bold 185,3 Оффсет", L"bold 260,3 КВт."}));
}

TEST_F(ListDisplayTest, ResizeLaysOutListAndFirstPanel) {
  sp.window.clientWidth = 334;
  sp.window.clientHeight = 300;
  sp.window.outerWidth = 350;
  fm.FormResize();
  EXPECT_EQ(sp.window.listBounds.left, 8);
  EXPECT_EQ(sp.window.listBounds.top, 19);
  EXPECT_EQ(sp.window.listBounds.right, 318);             // width: client width - 16
  EXPECT_EQ(sp.window.listBounds.bottom, 300 - 19 - 25);  // height above the status bar
  EXPECT_EQ(sp.statusBar.width(0), 225);
}

}  // namespace
}  // namespace vandrel
