// Rebuilding an archive in both layouts: the bytes it leaves, and that no failure and no death
// of the process at any point loses the archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/random.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

constexpr wchar_t kAsk[] =
    L"Rebuilding the archive will take a few minutes.\n\nDo you wish to continue?";
constexpr uint32_t kSeed = 4242;

class RebuildTest : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  RebuildTest() { Randomize(kSeed); }

  Layout layout() const { return GetParam(); }
  std::wstring RefusalText() const {
    return layout() == Layout::V1 ? L"IMG file error! It might be in use.. exiting..."
                                  : L"Ошибка открытия файла IMG!         ";
  }
  // The temporary file's name this rebuild will draw.
  std::string TemporaryName() {
    Randomize(kSeed);
    const std::string name = "TMPI" + std::to_string(Random(9999));
    Randomize(kSeed);
    return name;
  }
  void Rebuild(bool faulty = false) {
    sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
    if (faulty)
      RunFaulty(&TfmMain::RebuildArchive);
    else
      Run(&TfmMain::RebuildArchive);
  }
  // The files a rebuild of these entries must leave: their data back to back from the first
  // data sector, built independently of the program.
  Files RebuiltFiles(const std::vector<Item>& items) {
    TempDir expected;
    const int32_t first =
        layout() == Layout::V1 ? 0 : int32_t((8 + 32 * items.size() + 2047) / 2048 + 1);
    BuildArchive(expected, layout(), items, first);
    return Snapshot(expected);
  }
  // An archive whose entries lie out of order, with gaps and stale data between them.
  std::wstring Scattered(const std::vector<Item>& items, int32_t firstSector) {
    std::vector<EntryRecord> records;
    Bytes img(size_t(firstSector) * 2048, 0x77);
    for (size_t i = items.size(); i-- > 0;) {
      Bytes gap = Pattern(2048, 900 + unsigned(i));
      img.insert(img.end(), gap.begin(), gap.end());
      records.insert(records.begin(),
                     {items[i].name, int32_t(img.size() / 2048), SectorsOf(items[i].data.size())});
      Bytes area = Padded(items[i].data);
      img.insert(img.end(), area.begin(), area.end());
    }
    return layout() == Layout::V1 ? MakeV1(tmp, "test", records, img)
                                  : MakeV2(tmp, "test.img", records, img);
  }
  // The archive as `files` had it, opened, with the rebuild's temporary name drawn again.
  void Restore(const std::wstring& img, const Files& files) {
    PutBack(files);
    Open(img);
    Randomize(kSeed);
  }

  std::vector<Item> items = {{"a.txd", Pattern(5000, 1)},
                             {"empty.dat", {}},
                             {"b.dff", Pattern(2048, 2)},
                             {"c.col", Pattern(10, 3)},
                             {"last.dat", {}}};
};

TEST_P(RebuildTest, PacksTheEntriesBackToBackInDirectoryOrder) {
  const std::wstring img = Scattered(items, layout() == Layout::V1 ? 3 : 4);
  Open(img);
  const size_t before = ReadBytes(img).size();
  sp.system.ticks = 0xFFFFF000u;  // the tick count wraps during the rebuild
  clockPerPump = 700;
  Rebuild();

  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Confirmation);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Confirm");
  EXPECT_EQ(sp.dialogs.messages()[0].text, kAsk);
  EXPECT_EQ(Snapshot(tmp), RebuiltFiles(items));  // nothing else left in the folder
  EXPECT_LT(ReadBytes(img).size(), before);
  EXPECT_EQ(busyWhilePumping, std::vector<bool>(5, true));
  EXPECT_FALSE(Busy());
  EXPECT_EQ(sp.statusBar.Text(0),
            layout() == Layout::V1 ? L"Archive rebuilt." : L"Archive rebuilt in 3 secs.");
  const auto& history = sp.statusBar.history();
  EXPECT_NE(std::find(history.begin(), history.end(),
                      layout() == Layout::V1 ? L"Перестройка  " : L"Перестройка.."),
            history.end());
  ExpectArchive(img, Entries(items));
  // Empty entries take the offset where the next data begins, or the end.
  EXPECT_EQ(IMGArchive.Files[1].Offset, IMGArchive.Files[2].Offset);
  EXPECT_EQ(int64_t{IMGArchive.Files[4].Offset} * 2048, int64_t(ReadBytes(img).size()));
}

TEST_P(RebuildTest, AnsweringNoChangesNothing) {
  const std::wstring img = Scattered(items, 5);
  Open(img);
  const Files before = Snapshot(tmp);
  Run(&TfmMain::RebuildArchive);
  EXPECT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(Snapshot(tmp), before);
}

TEST_P(RebuildTest, EntriesSharingSectorsGetACopyEach) {
  const Bytes data = Pattern(4096, 5);
  Bytes img(5 * 2048 + data.size());
  std::copy(data.begin(), data.end(), img.begin() + 5 * 2048);
  std::vector<EntryRecord> records = {{"one", 5, 2}, {"two", 5, 2}, {"part", 6, 1}};
  const std::wstring path = layout() == Layout::V1 ? MakeV1(tmp, "test", records, img)
                                                   : MakeV2(tmp, "test.img", records, img);
  Open(path);
  Rebuild();
  EXPECT_EQ(Snapshot(tmp),
            RebuiltFiles({{"one", data}, {"two", data}, {"part", Slice(data, 2048, 2048)}}));
}

TEST_P(RebuildTest, ProgressShowsTheEndsOfQuickCopiesAndEveryCountOfSlowOnes) {
  std::vector<Item> eight;
  for (int i = 0; i < 8; ++i) eight.push_back({Numbered("f", i), Pattern(10, i)});
  Open(Scattered(eight, 2));
  Rebuild();
  EXPECT_EQ(seenWhilePumping,
            (std::vector<std::wstring>{L"Перестройка.. 1/8 (12%)", L"Перестройка.. 8/8 (100%)"}));

  // Halves of a percent go to the even neighbour.
  seenWhilePumping.clear();
  clockPerPump = kProgressIntervalMs;
  Rebuild();
  EXPECT_EQ(seenWhilePumping,
            (std::vector<std::wstring>{L"Перестройка.. 1/8 (12%)", L"Перестройка.. 2/8 (25%)",
                                       L"Перестройка.. 3/8 (38%)", L"Перестройка.. 4/8 (50%)",
                                       L"Перестройка.. 5/8 (62%)", L"Перестройка.. 6/8 (75%)",
                                       L"Перестройка.. 7/8 (88%)", L"Перестройка.. 8/8 (100%)"}));
}

// Each refusal comes before anything changes on disk.
TEST_P(RebuildTest, RefusesWhenTheTemporaryNameIsTakenOrTheArchiveIsHeld) {
  const std::wstring img = Scattered(items, 5);
  WriteBytes(tmp.Path(TemporaryName()), Pattern(10, 1));
  Open(img);
  const Files before = Snapshot(tmp);
  Rebuild();
  EXPECT_EQ(LastBox(), RefusalText());
  EXPECT_EQ(sp.dialogs.messages().back().caption, L"Error");
  EXPECT_EQ(Snapshot(tmp), before);
  EXPECT_FALSE(Busy());
  std::filesystem::remove(ToUtf8(tmp.Path(TemporaryName())));

  const Files free = Snapshot(tmp);
  faulty.Hold(img);
  Rebuild(true);
  EXPECT_EQ(LastBox(), RefusalText());
  EXPECT_EQ(Snapshot(tmp), free);
  faulty.Release(img);

  if (layout() == Layout::V1) {
    faulty.Hold(tmp.Path("test.dir"));
    Rebuild(true);
    EXPECT_EQ(LastBox(), L"Dir file error! It might be in use.. exiting...");
    EXPECT_EQ(Snapshot(tmp), free);
    faulty.Release(tmp.Path("test.dir"));
  }

  MakeReadOnly(img);
  Rebuild();
  EXPECT_EQ(LastBox(), RefusalText());
  EXPECT_EQ(Snapshot(tmp), free);
  EXPECT_FALSE(Busy());
}

TEST_P(RebuildTest, AnEntryPastTheEndLeavesTheArchiveAsItWas) {
  const std::wstring img = Scattered(items, 5);
  Bytes cut = ReadBytes(img);
  cut.resize(cut.size() - 2048);
  WriteBytes(img, cut);
  Open(img);
  const Files before = Snapshot(tmp);
  Rebuild();
  EXPECT_EQ(LastBox(), L"Read beyond end of file.");
  EXPECT_EQ(sp.dialogs.messages().back().caption, L"Vandrel 2.0");
  EXPECT_EQ(Snapshot(tmp), before);
  EXPECT_TRUE(IMGArchive.bLoaded);
  EXPECT_EQ(sp.list.Count(), 5);
  EXPECT_FALSE(Busy());
}

// Every file operation failed in turn: the archive is exactly as before, or exactly rebuilt,
// with nothing left beside it, and memory shows what the disk holds.
TEST_P(RebuildTest, AnyFailureLeavesTheOldArchiveOrTheNewOne) {
  const std::wstring img = Scattered(items, 5);
  const Files before = Snapshot(tmp), done = RebuiltFiles(items);
  Open(img);
  Rebuild(true);
  ASSERT_EQ(Snapshot(tmp), done);
  const std::initializer_list<int> codes = {kErrAccessDenied, kErrDiskFull, kErrReadBeyondEnd};
  FailEachOperation(
      faulty.operations(), codes, [&] { Restore(img, before); },
      [&] {
        Rebuild(true);
        EXPECT_FALSE(Busy());
        Files now = Snapshot(tmp);
        // The old data that could not be deleted after a finished rebuild is left as it is.
        if (now.size() == done.size() + 1 && now.count(TemporaryName()) &&
            now.at(TemporaryName()) == before.at("test.img"))
          now.erase(TemporaryName());
        EXPECT_TRUE(now == before || now == done);
        // Only the re-read of the finished archive can fail so that no archive stays open.
        if (IMGArchive.bLoaded)
          ExpectMemoryMatchesDisk(img);
        else
          EXPECT_EQ(now, done);
      });
}

// The process dies after each file operation. Opening the archive again finds the old archive
// or the new one under its own name(s), says so in a box when the rebuild left something, and
// leaves nothing else in the folder.
TEST_P(RebuildTest, DyingAnywhereLeavesWhatOpeningPutsRight) {
  const std::wstring img = Scattered(items, 5);
  const Files before = Snapshot(tmp), done = RebuiltFiles(items);
  Open(img);
  Rebuild(true);
  Files atDeath;
  auto restore = [&] {
    Restore(img, before);
    atDeath.clear();
  };
  DieAfterEachOperation(
      faulty.operations(), restore, [&] { atDeath = Snapshot(tmp); },
      [&] {
        Rebuild(true);
        ASSERT_FALSE(atDeath.empty());
        PutBack(atDeath);
        const size_t boxes = sp.dialogs.messages().size();
        Open(img);
        const Files now = Snapshot(tmp);
        EXPECT_TRUE(now == before || now == done);
        if (std::any_of(atDeath.begin(), atDeath.end(),
                        [](const auto& file) { return file.first.rfind("TMP", 0) == 0; })) {
          ASSERT_EQ(sp.dialogs.messages().size(), boxes + 1);
          EXPECT_EQ(sp.dialogs.messages().back().kind, MessageKind::Warning);
        }
      });
}

// Old data that cannot be deleted at the end is named instead of the plain success text.
TEST_P(RebuildTest, OldDataLeftBehindIsNamed) {
  if (layout() == Layout::V2) GTEST_SKIP() << "the version-2 temporary file becomes the archive";
  const std::wstring img = Scattered(items, 5);
  Open(img);
  const std::wstring temporary = tmp.Path(TemporaryName());
  faulty.Hold(temporary);
  Rebuild(true);
  EXPECT_EQ(ErrorBoxes(), 0u) << ToUtf8(LastBox());
  EXPECT_EQ(sp.statusBar.Text(0),
            L"Archive rebuilt, but the file holding the old data could not be deleted: '" +
                temporary + L"'");
  EXPECT_TRUE(std::filesystem::exists(ToUtf8(temporary)));
  ExpectArchive(img, Entries(items));
}

// With every entry deleted the rebuilt archive must still open: a version-1 .img keeps one
// zero sector, since an empty one is too short to be read as an archive.
TEST_P(RebuildTest, AnArchiveWithoutDataComesOutOpenable) {
  const std::wstring img = Scattered({{"empty.dat", {}}}, 3);
  Open(img);
  Rebuild();
  EXPECT_EQ(sp.dialogs.messages().size(), 1u);  // the confirmation, no error
  ASSERT_TRUE(IMGArchive.bLoaded);
  EXPECT_EQ(IMGArchive.FileCount, 1);
  Bytes expected(layout() == Layout::V1 ? 2048 : 4096);
  if (layout() == Layout::V2) {
    const Bytes head = ReadBytes(img);
    ASSERT_EQ(head.size(), expected.size());
    EXPECT_EQ(std::string(head.begin(), head.begin() + 4), "VER2");
    EXPECT_EQ(ReadInt32(&head[4]), 1);
  } else {
    EXPECT_EQ(ReadBytes(img), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RebuildTest, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

// The reserved head grows a sector at a time and always leaves room for 64 more entries.
TEST_F(OpsTest, VersionTwoHeadSizesFollowTheEntryCount) {
  for (auto [count, first] : {std::pair{0, 2}, {63, 2}, {64, 3}, {100, 3}, {1000, 17}}) {
    std::vector<EntryRecord> records;
    Bytes img(size_t(first + count) * 2048);
    for (int i = 0; i < count; ++i) {
      records.push_back({Numbered("e", i), first + count - 1 - i, 1});  // reversed order
      img[size_t(first + count - 1 - i) * 2048] = static_cast<unsigned char>(i + 1);
    }
    TempDir dir;
    const std::wstring path = MakeV2(dir, "big.img", records, img);
    Open(path);
    sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
    Run(&TfmMain::RebuildArchive);
    const Bytes after = ReadBytes(path);
    ASSERT_EQ(after.size(), size_t(first + count) * 2048) << count;
    EXPECT_EQ(ReadInt32(&after[4]), count);
    const size_t tableEnd = 8 + 32 * size_t(count);
    EXPECT_EQ(Bytes(after.begin() + tableEnd, after.begin() + first * 2048),
              Bytes(first * 2048 - tableEnd))
        << count;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(IMGArchive.Files[size_t(i)].Offset, first + i);
      EXPECT_EQ(after[size_t(first + i) * 2048], static_cast<unsigned char>(i + 1));
    }
    EXPECT_GE((first * 2048 - int(tableEnd)) / 32, 64);
    EXPECT_EQ(std::string(after.begin(), after.begin() + 4), "VER2");
  }
}

}  // namespace
}  // namespace vandrel
