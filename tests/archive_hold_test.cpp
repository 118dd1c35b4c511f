// Another program at the archive while the window has it open: a command never writes over a
// directory that changed since the window read it, and never works while another program
// holds the archive, in both layouts.
#include <gtest/gtest.h>

#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

constexpr wchar_t kChanged[] =
    L"Another program has changed this archive since it was read. It has been read again and "
    L"nothing was done; please try again.";
constexpr wchar_t kBeingChanged[] =
    L"Another program is changing this archive, so nothing was done. Try again when it has "
    L"finished.";

class ArchiveHoldTest : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  Layout layout() const { return GetParam(); }
  // The file that carries the directory: the .dir of a pair, the .img of version 2.
  std::wstring DirectoryFile() const { return layout() == Layout::V1 ? tmp.Path("test.dir") : img; }

 public:
  // Each command with the answers to its dialogs.
  void Add() {
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{source});
    Run(&TfmMain::AddFiles);
  }
  void Delete() {
    sp.list.UserSelect({0}, 0);
    sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
    Run(&TfmMain::DeleteFiles);
  }
  void Rename() {
    sp.list.UserSelect({0}, 0);
    sp.dialogs.inputAnswers.push_back(L"renamed.dff");
    Run(&TfmMain::RenameFile);
  }
  void Replace() {
    sp.list.UserSelect({0}, 0);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{source});
    Run(&TfmMain::ReplaceFile);
  }
  void Rebuild() {
    sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
    Run(&TfmMain::RebuildArchive);
  }
  void Extract() {
    sp.list.UserSelect({0, 1}, 0);
    sp.dialogs.folderAnswers.push_back(tmp.Path("out"));
    Run(&TfmMain::ExtractFiles);
  }
  using Command = void (ArchiveHoldTest::*)();
  static constexpr Command kWriters[] = {&ArchiveHoldTest::Add, &ArchiveHoldTest::Delete,
                                         &ArchiveHoldTest::Rename, &ArchiveHoldTest::Replace,
                                         &ArchiveHoldTest::Rebuild};

  std::vector<Item> items = {
      {"a.dff", Pattern(5000, 1)}, {"b.txd", Pattern(3000, 2)}, {"c.col", Pattern(100, 3)}};
  std::wstring img = BuildArchive(tmp, layout(), items);
  std::wstring source = Source("new.dff", Pattern(700, 4));
};

TEST_P(ArchiveHoldTest, ADirectoryChangedMeanwhileIsReadAgainAndNothingWritten) {
  std::filesystem::create_directory(tmp.root() / "out");
  for (Command command : {kWriters[0], kWriters[1], kWriters[2], kWriters[3], kWriters[4],
                          &ArchiveHoldTest::Extract}) {
    Open(img);
    ASSERT_EQ(sp.list.Count(), 3);
    // Another program deletes the last entry behind the window's back.
    std::vector<Item> fewer(items.begin(), items.end() - 1);
    BuildArchive(tmp, layout(), fewer);
    const Files before = Snapshot(tmp);
    const size_t boxes = ErrorBoxes();

    (this->*command)();
    ASSERT_EQ(ErrorBoxes(), boxes + 1);
    EXPECT_EQ(sp.dialogs.messages().back().caption, L"Error");
    EXPECT_EQ(LastBox(), kChanged);
    EXPECT_EQ(Snapshot(tmp), before);
    EXPECT_TRUE(std::filesystem::is_empty(tmp.root() / "out"));
    EXPECT_EQ(sp.list.Count(), 2);
    EXPECT_FALSE(Busy());
    BuildArchive(tmp, layout(), items);
  }
}

TEST_P(ArchiveHoldTest, NothingIsDoneWhileAnotherProgramHoldsTheArchive) {
  Open(img);
  std::filesystem::create_directory(tmp.root() / "out");
  const Files before = Snapshot(tmp);
  {
    // A reader keeps every writer out, and other readers not.
    auto reader = sp.nativeFiles->TryLock(DirectoryFile(), LockKind::Shared);
    ASSERT_NE(reader, nullptr);
    for (Command command : kWriters) {
      (this->*command)();
      EXPECT_EQ(LastBox(), kBeingChanged);
      EXPECT_EQ(Snapshot(tmp), before);
      EXPECT_FALSE(Busy());
    }
    Extract();
    EXPECT_EQ(sp.statusBar.Text(0), L"File(s) extracted.");
  }
  std::filesystem::remove_all(tmp.root() / "out");
  std::filesystem::create_directory(tmp.root() / "out");
  // A writer keeps readers out too; once it lets go, the command goes ahead.
  auto writer = sp.nativeFiles->TryLock(DirectoryFile(), LockKind::Exclusive);
  ASSERT_NE(writer, nullptr);
  Extract();
  EXPECT_EQ(LastBox(), kBeingChanged);
  EXPECT_TRUE(std::filesystem::is_empty(tmp.root() / "out"));
  writer.reset();
  Add();
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) added.");
  EXPECT_EQ(sp.list.Count(), 4);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ArchiveHoldTest, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
