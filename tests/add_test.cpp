// Adding files as new entries, in both layouts, including the version-2 directory's growth.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr wchar_t kMoving[] = L"V2 DIR space required. Moving first file to end.";

class AddTest : public OpsTest {
 protected:
  AddTest() { fs::create_directory(ToUtf8(tmp.Path("src"))); }

  std::vector<std::wstring> Sources(const std::vector<Item>& items) {
    std::vector<std::wstring> paths;
    for (const auto& item : items) paths.push_back(Source("src/" + item.name, item.data));
    return paths;
  }
  void Add(const std::vector<std::wstring>& paths) {
    sp.dialogs.openFileAnswers.push_back(paths);
    Run(&TfmMain::AddFiles);
  }
  int Count(const std::wstring& status) {
    const auto& history = sp.statusBar.history();
    return static_cast<int>(std::count(history.begin(), history.end(), status));
  }
  // A version-2 archive of these entries, each entry's data at its own offset.
  std::wstring LaidOut(const std::vector<EntryRecord>& records, const std::vector<Bytes>& data,
                       size_t length) {
    Bytes img(length);
    for (size_t i = 0; i < records.size(); ++i)
      std::copy(data[i].begin(), data[i].end(), img.begin() + records[i].offset * 2048);
    return MakeV2(tmp, "test.img", records, img);
  }
  // A full directory of 63 entries, one sector each; the lowest lies at sector 1 and is not
  // the first in the directory.
  std::wstring FullDirectory(std::vector<Expected>& entries) {
    std::vector<EntryRecord> records;
    std::vector<Bytes> data;
    for (int i = 0; i < 63; ++i) {
      records.push_back({Numbered("e", i), i == 5 ? 1 : i < 5 ? i + 2 : i + 1, 1});
      data.push_back(Pattern(2048, i));
      entries.push_back({records.back().name, data.back()});
    }
    return LaidOut(records, data, 64 * 2048);
  }
};

class AddBothLayouts : public AddTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(AddBothLayouts, AppendsEveryFileAsWholeSectorsInBatchOrder) {
  std::vector<Item> old = {{"old.txd", Pattern(3000, 1)}};
  const std::wstring img = BuildArchive(tmp, GetParam(), old);
  Open(img);
  const int32_t firstNew = IMGArchive.Files[0].Offset + 2;
  std::vector<Item> added = {{"empty.dat", {}},
                             {"exact.dat", Pattern(4096, 2)},
                             {"odd.dat", Pattern(2049, 3)},
                             {"exactly_24_characters.tx", Pattern(10, 4)},
                             {"old.txd", Pattern(100, 5)}};
  Options.LastFileDir = L"C:\\old\\";
  auto paths = Sources(added);
  MakeReadOnly(paths[2]);  // sources are only read
  Add(paths);

  ASSERT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  const OpenFileRequest& request = sp.dialogs.openFileRequests()[0];
  EXPECT_EQ(request.title, L"Добавить... ");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].display, L"Все файлы(*.*)");
  EXPECT_EQ(request.filters[0].pattern, L"*.*") << "a trailing blank hides every file on Wine";
  EXPECT_TRUE(request.multiSelect && request.mustExist && request.hideReadOnly &&
              request.resizable);
  EXPECT_EQ(request.initialDir, L"C:\\old\\");
  EXPECT_EQ(Options.LastFileDir, tmp.Path("src/"));
  // Quick files on a clock that stands still: the first and the last count show.
  EXPECT_EQ(seenWhilePumping, (std::vector<std::wstring>{L"Добавление1/5", L"Добавление5/5"}));
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) added.");
  EXPECT_EQ(busyWhilePumping, std::vector<bool>(2, true));
  EXPECT_FALSE(Busy());
  EXPECT_EQ(sp.list.Caret(), 5);

  std::vector<Item> all = old;
  all.insert(all.end(), added.begin(), added.end());
  // The 24-character name fills the field, with no terminating zero.
  ExpectArchive(img, Entries(all));
  // Each behind the one before; the empty one takes the end and writes nothing.
  int32_t next = firstNew;
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(IMGArchive.Files[i].Offset, next) << "entry " << i;
    next += IMGArchive.Files[i].Size;
  }
  EXPECT_EQ(ReadBytes(img).size(), size_t(next) * 2048);
}

TEST_P(AddBothLayouts, CancellingChangesNothing) {
  const std::wstring img = BuildArchive(tmp, GetParam(), {{"a", Pattern(10, 1)}});
  Open(img);
  Bytes before = ReadBytes(img);
  Options.LastFileDir = L"D:\\kept\\";
  size_t shown = sp.statusBar.history().size();
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_EQ(Options.LastFileDir, L"D:\\kept\\");
  EXPECT_EQ(sp.statusBar.history().size(), shown);
}

TEST_P(AddBothLayouts, AnUnevenDataFileGetsTheDataAtTheNextBoundary) {
  const std::wstring img = BuildArchive(tmp, GetParam(), {{"a", Pattern(2048, 1)}});
  Bytes uneven = ReadBytes(img);
  Bytes stray = Pattern(952, 2);
  uneven.insert(uneven.end(), stray.begin(), stray.end());
  WriteBytes(img, uneven);
  Open(img);
  Add(Sources({{"b", Pattern(10, 3)}}));
  ExpectArchive(img, Entries({{"a", Pattern(2048, 1)}, {"b", Pattern(10, 3)}}));
  const int64_t boundary = (int64_t(uneven.size()) + 2047) / 2048 * 2048;
  EXPECT_EQ(int64_t{IMGArchive.Files[1].Offset} * 2048, boundary);
  Bytes now = ReadBytes(img);
  const int64_t data = int64_t{IMGArchive.Files[0].Offset} * 2048;
  EXPECT_EQ(Slice(now, data, int64_t(uneven.size()) - data),
            Slice(uneven, data, int64_t(uneven.size()) - data));
  EXPECT_EQ(Slice(now, int64_t(uneven.size()), boundary - int64_t(uneven.size())),
            Bytes(size_t(boundary) - uneven.size()));
}

// After a failure at any file operation the data file holds what the plain sector copy leaves,
// and a recorded entry always has all of its data.
TEST_P(AddBothLayouts, AFailureAnywhereLeavesAPlainPrefix) {
  const std::wstring img = BuildArchive(tmp, GetParam(), {{"a", Pattern(100, 1)}});
  const std::wstring dir = tmp.Path("test.dir");
  const Bytes imgBefore = ReadBytes(img),
              dirBefore = GetParam() == Layout::V1 ? ReadBytes(dir) : Bytes();
  const Bytes data = Pattern(40 * 2048 + 100, 2);
  auto paths = Sources({{"b", data}});
  auto restore = [&] {
    WriteBytes(img, imgBefore);
    if (GetParam() == Layout::V1) WriteBytes(dir, dirBefore);
    Open(img);
  };
  auto add = [&] {
    sp.dialogs.openFileAnswers.push_back(paths);
    RunFaulty(&TfmMain::AddFiles);
  };
  restore();
  const int operations = OperationsOf(add);

  FailEachOperation(operations, {kErrDiskFull}, restore, [&] {
    add();
    const bool failed = LastBox() == L"Disk full.";
    Bytes now = ReadBytes(img);
    const int64_t dataStart = GetParam() == Layout::V1 ? 2048 : 4096;
    Bytes appended = Slice(now, dataStart, int64_t(now.size()));
    EXPECT_EQ(Slice(now, dataStart - 2048, 2048), Slice(imgBefore, dataStart - 2048, 2048));
    EXPECT_TRUE(appended.size() % 2048 == 0 || appended.size() == data.size());
    EXPECT_EQ(appended, Slice(Padded(data), 0, int64_t(appended.size())));
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded);
    if (IMGArchive.FileCount == 2 && NameBytes(IMGArchive.Files[1]) == "b") {
      EXPECT_EQ(appended, Padded(data));
    }
    if (!failed) {
      EXPECT_EQ(IMGArchive.FileCount, 2);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddBothLayouts, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

TEST_F(AddTest, VersionTwoWithRoomWritesTheNextSlotAndMovesNothing) {
  const std::wstring img =
      BuildArchive(tmp, Layout::V2, {{"a", Pattern(10, 1)}, {"b", Pattern(10, 2)}});
  Open(img);
  Add(Sources({{"c", Pattern(10, 3)}, {"d", Pattern(10, 4)}}));
  EXPECT_EQ(Count(kMoving), 0);
  ExpectArchive(img, Entries({{"a", Pattern(10, 1)},
                              {"b", Pattern(10, 2)},
                              {"c", Pattern(10, 3)},
                              {"d", Pattern(10, 4)}}));
  EXPECT_EQ(IMGArchive.Files[0].Offset, 1);
  EXPECT_EQ(IMGArchive.Files[1].Offset, 2);
}

TEST_F(AddTest, AFullDirectoryMovesTheLowestEntryAndOneSectorHoldsSixtyFourMore) {
  std::vector<Expected> entries;
  const std::wstring img = FullDirectory(entries);
  Open(img);
  std::vector<Item> added;
  for (int i = 0; i < 65; ++i) added.push_back({Numbered("n", i), Pattern(10, 100 + i)});
  clockPerPump = kProgressIntervalMs;
  Add(Sources(added));

  // Slow files: every count shows, the moves in between take none of them.
  std::vector<std::wstring> counts;
  for (int n = 1; n <= 65; ++n) counts.push_back(L"Добавление" + std::to_wstring(n) + L"/65");
  EXPECT_EQ(seenWhilePumping, counts);

  // One move for the 64th entry; the freed sector then holds entries 64 to 127, so the 128th
  // entry needs the second move.
  const auto& history = sp.statusBar.history();
  std::vector<size_t> moves;
  for (size_t i = 0; i < history.size(); ++i)
    if (history[i] == kMoving) moves.push_back(i);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(history[moves[0] - 1], L"Добавление1/65");
  EXPECT_EQ(history[moves[1] - 1], L"Добавление65/65");

  for (const auto& item : added) entries.push_back({item.name, Padded(item.data)});
  ExpectArchive(img, entries);
  EXPECT_EQ(IMGArchive.Files[5].Offset, 64);       // the lowest went to the old end
  EXPECT_EQ(IMGArchive.Files[63].Offset, 65);      // the first new entry right behind it
  EXPECT_EQ(IMGArchive.Files[0].Offset, 66 + 63);  // then the next lowest, at the 128th entry
}

// The moved entry's slot is written only once its copy is complete, so a failure anywhere
// leaves every entry's data where its slot says.
TEST_F(AddTest, AFailureDuringAMoveLosesNoEntry) {
  std::vector<Expected> entries;
  const std::wstring img = FullDirectory(entries);
  const Bytes before = ReadBytes(img);
  auto paths = Sources({{"new", Pattern(3 * 2048, 99)}});
  auto add = [&] {
    sp.dialogs.openFileAnswers.push_back(paths);
    RunFaulty(&TfmMain::AddFiles);
  };
  Open(img);
  const int operations = OperationsOf(add);

  FailEachOperation(
      operations, {kErrDiskFull}, [&] { Reopen(img, before); },
      [&] {
        add();
        Open(img);
        ASSERT_GE(IMGArchive.FileCount, 63);
        Bytes now = ReadBytes(img);
        for (size_t i = 0; i < entries.size(); ++i)
          EXPECT_EQ(Slice(now, int64_t{IMGArchive.Files[i].Offset} * 2048, 2048), entries[i].area)
              << "entry " << i;
      });
}

TEST_F(AddTest, EntriesWithoutDataKeepMovingUntilThereIsRoom) {
  // The lowest entry holds nothing, so moving it frees nothing; the next one must go too.
  std::vector<EntryRecord> records = {{"nothing", 1, 0}};
  std::vector<Bytes> data = {{}};
  std::vector<Expected> entries = {{"nothing", {}}};
  for (int i = 1; i < 63; ++i) {
    records.push_back({Numbered("e", i), i, 1});
    data.push_back(Pattern(2048, i));
    entries.push_back({records.back().name, data.back()});
  }
  const std::wstring img = LaidOut(records, data, 63 * 2048);
  Open(img);
  Add(Sources({{"new", Pattern(10, 99)}}));
  EXPECT_EQ(Count(kMoving), 2);
  entries.push_back({"new", Padded(Pattern(10, 99))});
  ExpectArchive(img, entries);
}

TEST_F(AddTest, ADirectoryRightAtTheFileEndIsPaddedWithZeroSectors) {
  std::vector<EntryRecord> records;
  std::vector<Expected> entries;
  for (int i = 0; i < 63; ++i) {
    records.push_back({Numbered("e", i), 1, 0});
    entries.push_back({records.back().name, {}});
  }
  const std::wstring img = LaidOut(records, std::vector<Bytes>(63), 2048);
  Open(img);
  Add(Sources({{"new", Pattern(10, 99)}}));
  EXPECT_EQ(Count(kMoving), 63);
  entries.push_back({"new", Padded(Pattern(10, 99))});
  ExpectArchive(img, entries);
  EXPECT_EQ(IMGArchive.Files[63].Offset, 2);
  EXPECT_EQ(Slice(ReadBytes(img), 2056, 2048 - 8), Bytes(2040));
}

class EmptyVersionTwo : public AddTest,
                        public ::testing::WithParamInterface<std::pair<size_t, int32_t>> {};

TEST_P(EmptyVersionTwo, TakesTheEndOrTheFirstBoundaryBehindTheDirectory) {
  auto [length, sector] = GetParam();
  const std::wstring img = MakeV2(tmp, "test.img", {}, Bytes(length));
  Open(img);
  Add(Sources({{"first", Pattern(10, 1)}}));
  ExpectArchive(img, Entries({{"first", Pattern(10, 1)}}));
  EXPECT_EQ(IMGArchive.Files[0].Offset, sector);
  EXPECT_EQ(Slice(ReadBytes(img), 40, sector * 2048 - 40), Bytes(size_t(sector) * 2048 - 40));
}

INSTANTIATE_TEST_SUITE_P(Lengths, EmptyVersionTwo,
                         ::testing::Values(std::pair<size_t, int32_t>{8, 1},
                                           std::pair<size_t, int32_t>{3000, 2},
                                           std::pair<size_t, int32_t>{4096, 2}));

// The directory of one batch grows into the data the same batch added first.
TEST_F(AddTest, AnEmptyArchiveTakingManyFilesMovesTheFirstOneAddedOutOfTheDirectory) {
  const std::wstring img = MakeV2(tmp, "test.img", {}, Bytes(8));
  Open(img);
  std::vector<Item> added;
  for (int i = 0; i < 64; ++i) added.push_back({Numbered("n", i), Pattern(10, 100 + i)});
  Add(Sources(added));
  EXPECT_EQ(Count(kMoving), 1);
  std::vector<Expected> entries;
  for (const auto& item : added) entries.push_back({item.name, Padded(item.data)});
  ExpectArchive(img, entries);
}

// The entry that would have to move runs past the end: refused before anything is written.
TEST_F(AddTest, MovingAnEntryThatRunsPastTheEndFailsBeforeCopying) {
  std::vector<EntryRecord> records = {{"long", 1, 3}};
  for (int i = 1; i < 63; ++i) records.push_back({Numbered("e", i), 4, 0});
  const std::wstring img = LaidOut(records, std::vector<Bytes>(63), 2 * 2048 + 1000);
  const Bytes before = ReadBytes(img);
  Open(img);
  Add(Sources({{"new", Pattern(10, 99)}}));
  EXPECT_EQ(LastBox(), L"Read beyond end of file.");
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_FALSE(Busy());
}

TEST_F(AddTest, ThirdPartyFilesJoinTheThirdPartyArchiveWithoutDisturbingIt) {
  const std::wstring img = tmp.Path("v2.img");
  WriteBytes(img, ReadBytes(FixturePath("v2.img")));
  Open(img);
  const Bytes before = ReadBytes(img);
  Add({FixturePath("virgo.dff"), FixturePath("landstal.dff")});
  Open(img);
  ASSERT_EQ(IMGArchive.FileCount, 5);
  Bytes now = ReadBytes(img);
  EXPECT_EQ(Slice(now, 2048, 4096), Slice(before, 2048, 4096));
  EXPECT_EQ(IMGArchive.Files[3].Offset, 3);
  EXPECT_EQ(Slice(now, 3 * 2048, 2048), Padded(ReadBytes(FixturePath("virgo.dff"))));
  EXPECT_EQ(Slice(now, 4 * 2048, 2048), Padded(ReadBytes(FixturePath("landstal.dff"))));
  EXPECT_EQ(NameBytes(IMGArchive.Files[4]), "landstal.dff");
}

}  // namespace
}  // namespace vandrel
