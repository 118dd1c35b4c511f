// Deleting entries, in both layouts: the directory alone changes, written once and never left
// holding part of the entries.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/options.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

constexpr wchar_t kAsk[] = L"Удалить выбранные файлы?                           ";

std::vector<Item> Five() {
  std::vector<Item> items;
  for (int i = 0; i < 5; ++i) items.push_back({Numbered("e", i) + ".dff", Pattern(3000, i)});
  return items;
}

// What removing the entries one at a time, largest index first, rewriting the directory each
// time, leaves on disk: the plain way, against which the single write is checked.
Bytes RemovedOneAtATime(Layout layout, Bytes bytes, std::vector<int> indices) {
  std::sort(indices.rbegin(), indices.rend());
  for (int index : indices) {
    const size_t at = layout == Layout::V1 ? 0 : 8;
    const int32_t count = layout == Layout::V1 ? int32_t(bytes.size() / 32) : ReadInt32(&bytes[4]);
    Bytes table(bytes.begin() + at, bytes.begin() + at + size_t(count) * 32);
    table.erase(table.begin() + index * 32, table.begin() + (index + 1) * 32);
    if (layout == Layout::V1) {
      bytes = table;
    } else {
      WriteInt32(count - 1, &bytes[4]);
      std::copy(table.begin(), table.end(), bytes.begin() + 8);
    }
  }
  return bytes;
}

class DeleteTest : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  Layout layout() const { return GetParam(); }
  // The file that holds the directory.
  std::wstring DirectoryFile(const std::wstring& img) const {
    return layout() == Layout::V1 ? tmp.Path("test.dir") : img;
  }
  void Delete(const std::vector<int>& rows, bool faulty = false) {
    sp.list.UserSelect(rows, rows.empty() ? 0 : rows.front());
    sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
    if (faulty)
      RunFaulty(&TfmMain::DeleteFiles);
    else
      Run(&TfmMain::DeleteFiles);
  }
  std::vector<Expected> Without(std::vector<Item> items, std::vector<int> indices) {
    std::sort(indices.rbegin(), indices.rend());
    for (int index : indices) items.erase(items.begin() + index);
    return Entries(items);
  }

  std::vector<Item> items = Five();
};

TEST_P(DeleteTest, OneOfFiveLeavesTheOthersInOrderAndTheDataUntouched) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  const Bytes before = ReadBytes(img), directoryBefore = ReadBytes(DirectoryFile(img));
  Open(img);
  Delete({2});

  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Confirmation);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Confirm");
  EXPECT_EQ(sp.dialogs.messages()[0].text, kAsk);
  EXPECT_EQ(std::wstring(kAsk).size(), 51u);
  EXPECT_EQ(sp.statusBar.history().end()[-2], L"Удаление    1/1");
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) deleted.");
  EXPECT_EQ(busyWhilePumping, std::vector<bool>{true});
  EXPECT_FALSE(Busy());
  EXPECT_EQ(sp.list.Count(), 4);
  EXPECT_EQ(IMGArchive.FileCount, 4);

  const Bytes after = ReadBytes(DirectoryFile(img));
  if (layout() == Layout::V1) {
    EXPECT_EQ(after.size(), 128u);
    EXPECT_EQ(ReadBytes(img), before);
  } else {
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(ReadInt32(&after[4]), 4);
    EXPECT_EQ(Slice(after, 136, 32), Slice(before, 136, 32));  // the former fifth stays
    EXPECT_EQ(Slice(after, 168, int64_t(after.size())), Slice(before, 168, int64_t(before.size())));
  }
  EXPECT_EQ(after, RemovedOneAtATime(layout(), directoryBefore, {2}));
  EXPECT_EQ(Snapshot(tmp).size(), layout() == Layout::V1 ? 2u : 1u);  // nothing left aside
  ExpectArchive(img, Without(items, {2}));
}

// One write for the whole selection leaves every byte the entry-by-entry rewrites leave,
// including the stale records behind a version-2 table.
TEST_P(DeleteTest, SeveralAtOnceLeaveTheBytesOfOneAtATime) {
  for (auto chosen : {std::vector<int>{0, 1}, std::vector<int>{0, 2, 4}, std::vector<int>{1, 3},
                      std::vector<int>{3, 4}, std::vector<int>{0, 1, 2, 3, 4}}) {
    const std::wstring img = BuildArchive(tmp, layout(), items);
    const Bytes directoryBefore = ReadBytes(DirectoryFile(img));
    Open(img);
    Delete(chosen);
    EXPECT_EQ(ReadBytes(DirectoryFile(img)), RemovedOneAtATime(layout(), directoryBefore, chosen))
        << chosen.size();
    EXPECT_EQ(sp.list.Count(), 5 - int(chosen.size()));
    ExpectArchive(img, Without(items, chosen));
  }
}

TEST_P(DeleteTest, DeletingEverythingLeavesAnEmptyTable) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  Delete({0, 1, 2, 3, 4});
  // On a clock that stands still only the first and the last count show.
  EXPECT_EQ(seenWhilePumping, (std::vector<std::wstring>{L"Удаление    1/5", L"Удаление    5/5"}));
  const Bytes after = ReadBytes(DirectoryFile(img));
  if (layout() == Layout::V1)
    EXPECT_TRUE(after.empty());
  else
    EXPECT_EQ(ReadInt32(&after[4]), 0);
  EXPECT_EQ(sp.list.Count(), 0);
  ExpectArchive(img, {});
}

TEST_P(DeleteTest, ExactlyTheSelectedEntriesGoWhileSortedByName) {
  items = {{"d", Pattern(10, 1)},
           {"b", Pattern(10, 2)},
           {"e", Pattern(10, 3)},
           {"a", Pattern(10, 4)},
           {"c", Pattern(10, 5)}};
  Options.SortType = kSortByName;
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  ASSERT_EQ(sp.list.Row(0).substr(0, 2), L"3%");
  clockPerPump = kProgressIntervalMs;
  Delete({0, 1, 3});  // a, b, d: entries 3, 1, 0
  EXPECT_EQ(seenWhilePumping, (std::vector<std::wstring>{L"Удаление    1/3", L"Удаление    2/3",
                                                         L"Удаление    3/3"}));
  EXPECT_EQ(busyWhilePumping, std::vector<bool>(3, true));
  ExpectArchive(img, Without(items, {0, 1, 3}));
}

TEST_P(DeleteTest, NoSelectionOrAnswerNoChangesNothing) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Files before = Snapshot(tmp);
  const std::wstring status = sp.statusBar.Text(0);
  sp.list.UserSelect({}, 0);
  Run(&TfmMain::DeleteFiles);
  EXPECT_TRUE(sp.dialogs.messages().empty());
  sp.list.UserSelect({1}, 1);
  sp.dialogs.questionAnswers.push_back(MessageResult::No);
  Run(&TfmMain::DeleteFiles);
  EXPECT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(Snapshot(tmp), before);
  EXPECT_EQ(sp.statusBar.Text(0), status);
  EXPECT_EQ(IMGArchive.FileCount, 5);
  EXPECT_FALSE(Busy());
}

// Every file operation failed in turn: the directory on disk is the old one or the new one,
// nothing is left aside, and memory and list show what the disk holds.
TEST_P(DeleteTest, AnyFailureLeavesOldOrNewAndMemoryAgrees) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  const Files before = Snapshot(tmp);
  const std::vector<int> chosen = {1, 3};
  Open(img);
  Delete(chosen, true);
  const Files done = Snapshot(tmp);
  auto restore = [&] {
    PutBack(before);
    Open(img);
  };
  const std::initializer_list<int> codes = {kErrAccessDenied, kErrDiskFull, kErrReadBeyondEnd};
  FailEachOperation(faulty.operations(), codes, restore, [&] {
    Delete(chosen, true);
    EXPECT_FALSE(Busy());
    const Files now = Snapshot(tmp);
    EXPECT_TRUE(now == before || now == done);
    ExpectMemoryMatchesDisk(img);
  });
}

// The process dies after each file operation: the old entries are all still listed, and in
// version 1 the directory file is never cut short.
TEST_P(DeleteTest, DyingAnywhereLosesNoEntryThatStays) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  const Files before = Snapshot(tmp);
  const std::vector<int> chosen = {0, 3};
  Open(img);
  Delete(chosen, true);
  const Files done = Snapshot(tmp);
  const int operations = faulty.operations();
  const std::string directoryName = layout() == Layout::V1 ? "test.dir" : "test.img";
  Files atDeath;
  auto restore = [&] {
    PutBack(before);
    Open(img);
    atDeath.clear();
  };
  DieAfterEachOperation(
      operations, restore, [&] { atDeath = Snapshot(tmp); },
      [&] {
        Delete(chosen, true);
        ASSERT_FALSE(atDeath.empty());
        PutBack(atDeath);
        Open(img);
        ASSERT_TRUE(IMGArchive.bLoaded);
        EXPECT_EQ(atDeath.at("test.img").size(), before.at("test.img").size());
        if (layout() == Layout::V1) {
          EXPECT_TRUE(atDeath.at("test.dir") == before.at("test.dir") ||
                      atDeath.at("test.dir") == done.at("test.dir"));
          EXPECT_EQ(atDeath.at("test.img"), before.at("test.img"));
        }
        for (int kept : {1, 2, 4}) {
          const std::string name = items[size_t(kept)].name;
          EXPECT_TRUE(std::any_of(IMGArchive.Files.begin(), IMGArchive.Files.end(),
                                  [&](const TIMGFileEntry& e) { return NameBytes(e) == name; }))
              << name << " lost";
        }
      });
}

INSTANTIATE_TEST_SUITE_P(Layouts, DeleteTest, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

// Another program holds the directory file without allowing it to be replaced.
TEST_F(OpsTest, DeleteRefusesADirectoryFileInUseBeforeRemovingAnything) {
  const std::wstring img = BuildArchive(tmp, Layout::V1, Five());
  const Files before = Snapshot(tmp);
  faulty.Hold(tmp.Path("test.dir"));
  faultyFm.Guarded([&] { faultyFm.DoOpenArchive(img); });
  sp.list.UserSelect({1, 2}, 1);
  sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
  RunFaulty(&TfmMain::DeleteFiles);
  ASSERT_EQ(sp.dialogs.messages().size(), 2u);
  EXPECT_EQ(sp.dialogs.messages()[1].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[1].caption, L"Error");
  EXPECT_EQ(LastBox(), L"Dir file error! It might be in use.. exiting...");
  EXPECT_EQ(sp.statusBar.Text(0), L"Удаление    1/2");
  EXPECT_EQ(Snapshot(tmp), before);
  EXPECT_EQ(IMGArchive.FileCount, 5);
  EXPECT_EQ(sp.list.Count(), 5);
  EXPECT_FALSE(Busy());
}

}  // namespace
}  // namespace vandrel
