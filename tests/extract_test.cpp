// Extracting entries into a chosen folder, in both layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ops/progress.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ExtractTest : public OpsTest {
 protected:
  ExtractTest() { fs::create_directory(ToUtf8(out)); }

  void Extract(const std::vector<int>& rows, const std::wstring& folder) {
    sp.list.UserSelect(rows, rows.empty() ? 0 : rows.front());
    sp.dialogs.folderAnswers.push_back(folder);
    Run(&TfmMain::ExtractFiles);
  }
  void Extract(const std::vector<int>& rows) { Extract(rows, out); }
  bool Exists(const std::string& name) { return fs::exists(ToUtf8(out) + "/" + name); }
  Bytes Extracted(const std::string& name) { return ReadBytes(out + L"/" + FromUtf8(name)); }
  std::set<std::string> Listing(const std::wstring& folder) {
    std::set<std::string> names;
    for (auto& entry : fs::directory_iterator(ToUtf8(folder)))
      names.insert(entry.path().filename().string());
    return names;
  }
  // The status texts written since `from`.
  std::vector<std::wstring> StatusSince(size_t from) {
    const auto& history = sp.statusBar.history();
    return {history.begin() + static_cast<long>(from), history.end()};
  }

  const std::wstring out = tmp.Path("out");
};

class ExtractBothLayouts : public ExtractTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(ExtractBothLayouts, WritesEverySelectedEntryAsWholeSectors) {
  std::vector<Item> items = {{"a.txd", Pattern(5000, 1)},
                             {"empty.dat", {}},
                             {"b.dff", Pattern(2048, 2)},
                             {"c.col", Pattern(100, 3)}};
  Open(BuildArchive(tmp, GetParam(), items));
  Options.LastFileDir = L"C:\\old\\";
  std::vector<std::wstring> rows = sp.list.rows();

  Extract({0, 1, 3});

  ASSERT_EQ(sp.dialogs.folderRequests().size(), 1u);
  const FolderRequest& request = sp.dialogs.folderRequests()[0];
  EXPECT_EQ(request.title, L"Choose the directory you want to extract to...");
  EXPECT_EQ(request.caption, L"Extract Files...");
  EXPECT_EQ(request.initialDir, L"C:\\old\\");
  EXPECT_EQ(Extracted("a.txd"), Padded(items[0].data));
  EXPECT_EQ(Extracted("a.txd").size(), 6144u);
  EXPECT_TRUE(Exists("empty.dat"));
  EXPECT_TRUE(Extracted("empty.dat").empty());
  EXPECT_FALSE(Exists("b.dff"));
  EXPECT_EQ(Extracted("c.col"), Padded(items[3].data));
  EXPECT_EQ(Options.LastFileDir, out + L"\\");
  // Quick entries on a clock that stands still: the first and the last count show.
  EXPECT_EQ(seenWhilePumping,
            (std::vector<std::wstring>{L"Извлечение    1/3 (33%)", L"Извлечение    3/3 (100%)"}));
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) extracted.");
  EXPECT_EQ(busyWhilePumping, std::vector<bool>(2, true));
  EXPECT_FALSE(Busy());
  // The list is left as it was.
  EXPECT_EQ(sp.list.rows(), rows);
  EXPECT_EQ(sp.list.SelectedCount(), 3);
  EXPECT_EQ(sp.list.Caret(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ExtractBothLayouts, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

TEST_F(ExtractTest, SlowEntriesShowEveryCountRoundingHalvesToTheEvenNeighbour) {
  std::vector<Item> items;
  for (int i = 0; i < 8; ++i) items.push_back({Numbered("e", i), Pattern(10, i)});
  Open(BuildArchive(tmp, Layout::V1, items));
  clockPerPump = kProgressIntervalMs;
  Extract({0, 1, 2, 3, 4, 5, 6, 7});
  std::vector<std::wstring> expected;
  int percents[] = {12, 25, 38, 50, 62, 75, 88, 100};
  for (int n = 1; n <= 8; ++n)
    expected.push_back(L"Извлечение    " + std::to_wstring(n) + L"/8 (" +
                       std::to_wstring(percents[n - 1]) + L"%)");
  EXPECT_EQ(seenWhilePumping, expected);
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) extracted.");
}

TEST_F(ExtractTest, NoSelectionOrACancelledBrowserChangesNothing) {
  Open(BuildArchive(tmp, Layout::V2, {{"a.txd", Pattern(10, 1)}}));
  Options.LastFileDir = L"D:\\kept\\";
  size_t shown = sp.statusBar.history().size();
  sp.list.UserSelect({}, 0);
  Run(&TfmMain::ExtractFiles);
  EXPECT_TRUE(sp.dialogs.folderRequests().empty());

  sp.list.UserSelect({0}, 0);
  Run(&TfmMain::ExtractFiles);  // no answer queued: cancelled
  EXPECT_EQ(sp.dialogs.folderRequests().size(), 1u);
  EXPECT_EQ(Options.LastFileDir, L"D:\\kept\\");
  EXPECT_TRUE(StatusSince(shown).empty());
  EXPECT_TRUE(Listing(out).empty());
  EXPECT_FALSE(Busy());
}

TEST_F(ExtractTest, AFolderReturnedWithItsBackslashGetsASecondOne) {
  Open(BuildArchive(tmp, Layout::V1, {{"a.txd", Pattern(10, 1)}}));
  Extract({0}, out + L"\\");  // as the shell returns a drive's root
  EXPECT_EQ(Options.LastFileDir, out + L"\\\\");
  EXPECT_EQ(Extracted("a.txd").size(), 2048u);
}

TEST_F(ExtractTest, NamesAreTheFieldUpToItsFirstZero) {
  Open(BuildArchive(
      tmp, Layout::V1,
      {{"abcdefghijklmnopqrstuvwx", Pattern(10, 1)}, {std::string("abc\0zz", 6), Pattern(10, 2)}}));
  Extract({0, 1});
  EXPECT_EQ(Listing(out), (std::set<std::string>{"abcdefghijklmnopqrstuvwx", "abc"}));
}

TEST_F(ExtractTest, RowsAreVisitedInTheOrderShownAndTheLowerDuplicateWins) {
  std::vector<Item> items;
  for (int i = 0; i < 9; ++i) items.push_back({Numbered("x", i), Pattern(10, i)});
  items.push_back({"dup", Pattern(10, 90)});   // index 9
  items.push_back({"dup", Pattern(10, 100)});  // index 10, shown above index 9 in name order
  Options.SortType = kSortByName;
  Open(BuildArchive(tmp, Layout::V2, items));
  ASSERT_EQ(sp.list.Row(0).substr(0, 3), L"10%");
  Extract({0, 1});
  EXPECT_EQ(Extracted("dup"), Padded(items[9].data));
  EXPECT_EQ(sp.statusBar.Text(0),
            L"File(s) extracted; 1 overwritten by a later entry of the same file name.");
}

// What Windows makes one file: letters in either case, Cyrillic ones too, and trailing dots and
// blanks dropped. Counted so on every disk, this one's own rule aside.
TEST_F(ExtractTest, NamesThatAreOneFileOnWindowsAreCountedAsOverwritten) {
  std::vector<Item> items = {
      {"UPPER.DFF", Pattern(10, 1)}, {"upper.dff", Pattern(10, 2)}, {"\xCC.txd", Pattern(10, 3)},
      {"\xEC.TXD", Pattern(10, 4)},  {"dot.col", Pattern(10, 5)},   {"dot.col. ", Pattern(10, 6)},
      {"other.dff", Pattern(10, 7)}, {"\xB8.dff", Pattern(10, 8)},  {"\xA8.DFF", Pattern(10, 9)}};
  Open(BuildArchive(tmp, Layout::V2, items));
  Extract({0, 1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(sp.statusBar.Text(0),
            L"File(s) extracted; 4 overwritten by a later entry of the same file name.");
  Extract({0, 2, 4, 6, 7});
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) extracted.");
}

// Extracted into the archive's own folder, an entry named like one of the archive's files would
// replace the archive it is read from.
TEST_P(ExtractBothLayouts, NeverReplacesTheArchivesOwnFiles) {
  const std::wstring folder = tmp.root().wstring();
  const bool v1 = GetParam() == Layout::V1;
  for (const char* own : v1 ? std::vector<const char*>{"test.img", "test.dir"}
                            : std::vector<const char*>{"test.img"}) {
    const std::wstring img =
        BuildArchive(tmp, GetParam(), {{"first.txd", Pattern(10, 1)}, {own, Pattern(10, 2)}});
    const Files before = Snapshot(tmp);
    Open(img);
    Extract({0, 1}, folder);
    EXPECT_EQ(LastBox(), L"File access denied.") << own;
    EXPECT_TRUE(fs::exists(tmp.root() / "first.txd")) << own;
    fs::remove(tmp.root() / "first.txd");
    EXPECT_EQ(Snapshot(tmp), before) << own;
    EXPECT_FALSE(Busy());
  }
  // Not by its name: a second link to the archive in another folder is spared as well.
  const std::wstring img = BuildArchive(tmp, GetParam(), {{"held.img", Pattern(10, 3)}});
  fs::create_hard_link(ToUtf8(img), ToUtf8(out) + "/held.img");
  Open(img);
  Extract({0});
  EXPECT_EQ(LastBox(), L"File access denied.");
  EXPECT_EQ(Extracted("held.img"), ReadBytes(img));
}

// The samples' own entries: the loose virgo.dff and landstal.dff are other data than these.
TEST_F(ExtractTest, VersionOneSampleStopsWhereTheDataFileEnds) {
  const std::wstring img = FixturePath("v1.img");
  Open(img);
  Extract({0, 1, 2});
  EXPECT_EQ(Extracted("VIRGO.DFF"), Slice(ReadBytes(img), 0, 2048));
  EXPECT_EQ(Slice(Extracted("VIRGO.DFF"), 0, 8), Bytes({'V', 'i', 'r', 'g', 'o', '-', 'v', '1'}));
  // Two sectors asked, one there: the read fails, and the half-written file goes.
  EXPECT_FALSE(Exists("LANDSTAL.DFF"));
  EXPECT_EQ(LastBox(), L"Read beyond end of file.");
  EXPECT_EQ(Listing(out).size(), 1u);
  EXPECT_EQ(Options.LastFileDir, out + L"\\");
  EXPECT_FALSE(Busy());
}

TEST_F(ExtractTest, VersionTwoSampleExtractsWhatItHolds) {
  const std::wstring img = FixturePath("v2.img");
  Open(img);
  Extract({0, 1, 2});
  EXPECT_EQ(Extracted("VIRGO.DFF"), Slice(ReadBytes(img), 2048, 2048));
  EXPECT_EQ(Extracted("LANDSTAL.DFF"), Slice(ReadBytes(img), 4096, 2048));
  EXPECT_FALSE(Exists("abcdefghijklmnopqrstuvwx"));
  EXPECT_EQ(LastBox(), L"Read beyond end of file.");
}

class UnsafeNames : public ExtractTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnsafeNames, AreRefusedAndEndTheBatch) {
  Open(BuildArchive(
      tmp, Layout::V1,
      {{"ok.txd", Pattern(10, 1)}, {GetParam(), Pattern(10, 2)}, {"after.txd", Pattern(10, 3)}}));
  Extract({0, 1, 2});
  EXPECT_EQ(LastBox(), L"'" + FromUtf8(GetParam()) + L"': Invalid filename.");
  EXPECT_EQ(Listing(out), std::set<std::string>{"ok.txd"});
  EXPECT_EQ(Listing(tmp.Path("")), (std::set<std::string>{"out", "test.img", "test.dir"}));
  EXPECT_FALSE(Busy());
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNames,
                         ::testing::Values("..\\escape.txd", "../escape.txd", "c:escape.txd",
                                           "a.txd:stream", ".", "..", "...", "", "CON", "con",
                                           "nul.txd", "NUL ", "con.", "Com1", "LPT9.dff",
                                           "aux .txt", "prn.a.b", "conout$"));

class LookAlikeNames : public ExtractTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LookAlikeNames, AreExtracted) {
  Open(BuildArchive(tmp, Layout::V2, {{GetParam(), Pattern(10, 1)}}));
  Extract({0});
  EXPECT_TRUE(sp.dialogs.messages().empty()) << ToUtf8(LastBox());
  EXPECT_EQ(Extracted(GetParam()).size(), 2048u);
}

INSTANTIATE_TEST_SUITE_P(Names, LookAlikeNames,
                         ::testing::Values("console.txd", "com10", "nul_", "lpt", "a..b", "CON1",
                                           "x.con", ".hidden", "a b.dff"));

// Whatever fails, the output holds a run of whole sectors of the entry and nothing else.
TEST_F(ExtractTest, AFailureAnywhereLeavesWholeSectorsOnly) {
  Bytes data = Pattern(70 * 2048, 7);  // more than one buffer's worth
  Open(BuildArchive(tmp, Layout::V1, {{"big.dat", data}}));
  sp.list.UserSelect({0}, 0);
  sp.dialogs.folderAnswers.push_back(out);
  RunFaulty(&TfmMain::ExtractFiles);
  ASSERT_EQ(Extracted("big.dat"), data);
  auto prepare = [&] {
    fs::remove(ToUtf8(out) + "/big.dat");
    sp.dialogs.folderAnswers.push_back(out);
  };
  FailEachOperation(faulty.operations(), {kErrAccessDenied}, prepare, [&] {
    RunFaulty(&TfmMain::ExtractFiles);
    EXPECT_EQ(LastBox(), L"File access denied.");
    Bytes written = Exists("big.dat") ? Extracted("big.dat") : Bytes();
    EXPECT_EQ(written.size() % 2048, 0u);
    EXPECT_EQ(written, Slice(data, 0, static_cast<int64_t>(written.size())));
  });
}

// The batch stops at an entry whose sectors run past the end of the data file, says where, and
// leaves no half of it among the whole files.
TEST_P(ExtractBothLayouts, AnEntryCutShortStopsTheBatchAndLeavesNoHalfFile) {
  const int32_t first = GetParam() == Layout::V1 ? 0 : 1;
  const Bytes data = Pattern(static_cast<size_t>(first + 7) * 2048, 8);
  const std::vector<EntryRecord> records = {
      {"ok.txd", first, 1}, {"cut.dff", first + 2, 10}, {"after.txd", first + 1, 1}};
  Open(GetParam() == Layout::V1 ? MakeV1(tmp, "test", records, data)
                                : MakeV2(tmp, "test.img", records, data));
  Extract({0, 1, 2});
  EXPECT_EQ(LastBox(), L"Read beyond end of file.");
  EXPECT_EQ(Listing(out), std::set<std::string>{"ok.txd"});
  EXPECT_EQ(sp.statusBar.Text(0), L"Stopped at 'cut.dff': 1 of 3 file(s) extracted.");
  EXPECT_FALSE(Busy());
}

}  // namespace
}  // namespace vandrel
