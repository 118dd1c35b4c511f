// Renaming an entry: exactly its record changes, in place, in both layouts.
#include <gtest/gtest.h>

#include "app/options.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

class RenameTest : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  Layout layout() const { return GetParam(); }
  std::wstring DirectoryFile(const std::wstring& img) const {
    return layout() == Layout::V1 ? tmp.Path("test.dir") : img;
  }
  // Where entry `index`'s record starts in the directory file.
  int64_t Record(int index) const { return (layout() == Layout::V1 ? 0 : 8) + 32 * index; }
  void Rename(int row, std::optional<std::wstring> answer, bool faulty = false) {
    sp.list.UserSelect({row}, row);
    sp.dialogs.inputAnswers.push_back(std::move(answer));
    if (faulty)
      RunFaulty(&TfmMain::RenameFile);
    else
      Run(&TfmMain::RenameFile);
  }
  // The directory file equals `before` but for the name bytes of entry `index`.
  void ExpectOnlyNameChanged(const Bytes& before, const Bytes& after, int index,
                             const Bytes& field) {
    ASSERT_EQ(after.size(), before.size());
    const int64_t name = Record(index) + 8;
    EXPECT_EQ(Slice(after, 0, name), Slice(before, 0, name));
    EXPECT_EQ(Slice(after, name, 24), field);
    EXPECT_EQ(Slice(after, name + 24, int64_t(after.size())),
              Slice(before, name + 24, int64_t(before.size())));
  }
  static Bytes Field(const std::string& name) {
    Bytes field(name.begin(), name.end());
    field.resize(24);
    return field;
  }

  std::vector<Item> items = {{"a.dff", Pattern(100, 1)},
                             {"b.dff", Pattern(100, 2)},
                             {"c.dff", Pattern(100, 3)},
                             {"d.dff", Pattern(100, 4)},
                             {"e.dff", Pattern(100, 5)}};
};

TEST_P(RenameTest, RewritesOnlyTheNameBytesOfTheRecord) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Bytes before = ReadBytes(DirectoryFile(img));
  Rename(3, L"new.txd");

  ASSERT_EQ(sp.dialogs.inputRequests().size(), 1u);
  EXPECT_EQ(sp.dialogs.inputRequests()[0].caption, L"Rename...");
  EXPECT_EQ(sp.dialogs.inputRequests()[0].prompt, L"Enter new name for 'd.dff'...");
  EXPECT_EQ(sp.dialogs.inputRequests()[0].text, L"d.dff");
  EXPECT_EQ(sp.statusBar.Text(0), L"File renamed.");
  EXPECT_FALSE(Busy());
  EXPECT_EQ(sp.list.Row(3).substr(0, 10), L"3%new.txd?");
  ExpectOnlyNameChanged(before, ReadBytes(DirectoryFile(img)), 3, Field("new.txd"));
  items[3].name = "new.txd";
  ExpectArchive(img, Entries(items));
}

TEST_P(RenameTest, TwentyFourCharactersFillTheFieldAndTwentyFiveAreRefused) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Bytes before = ReadBytes(DirectoryFile(img));
  Rename(1, L"abcdefghijklmnopqrstuvwxy");
  EXPECT_EQ(LastBox(), L"Names have a max length of 24");
  EXPECT_EQ(sp.dialogs.messages().back().caption, L"Error");
  EXPECT_EQ(ReadBytes(DirectoryFile(img)), before);
  EXPECT_EQ(sp.dialogs.inputRequests().size(), 1u);  // not asked again

  Rename(1, L"abcdefghijklmnopqrstuvwx");
  ExpectOnlyNameChanged(before, ReadBytes(DirectoryFile(img)), 1,
                        Field("abcdefghijklmnopqrstuvwx"));
  EXPECT_EQ(sp.list.Row(1), L"1%abcdefghijklmnopqrstuvwx?" + sp.list.Row(1).substr(27));
  // A short name after a full one leaves no trace of it.
  Rename(1, L"x.y");
  ExpectOnlyNameChanged(before, ReadBytes(DirectoryFile(img)), 1, Field("x.y"));
  EXPECT_EQ(sp.list.Row(1).substr(0, 6), L"1%x.y?");
}

// Stored as question marks, the name would not be the one typed.
TEST_P(RenameTest, ANameTheCodePageCannotHoldIsRefused) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Bytes before = ReadBytes(DirectoryFile(img));
  Rename(0, L"Zürich.dff");
  EXPECT_EQ(sp.dialogs.messages().back().kind, MessageKind::Error);
  EXPECT_NE(LastBox().find(L"cannot hold"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(DirectoryFile(img)), before);
  EXPECT_EQ(NameBytes(IMGArchive.Files[0]), "a.dff");
  // Cyrillic is the code page's own.
  Rename(0, L"машина.dff");
  EXPECT_EQ(NameText(IMGArchive.Files[0]), L"машина.dff");
  Open(img);
  EXPECT_EQ(NameText(IMGArchive.Files[0]), L"машина.dff");
}

// Extraction could never write such an entry as a file.
TEST_P(RenameTest, ANameThatCouldNotBeAFileNameIsRefused) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Bytes before = ReadBytes(DirectoryFile(img));
  for (const wchar_t* name :
       {L"", L"cars\\admiral.dff", L"cars/admiral.dff", L"admiral?.dff", L"*.dff", L"a:b", L"a\"b",
        L"a<b>", L"a|b", L"tab\tname", L"..", L"CON", L"nul.txd", L"Com1", L"LPT9.dff"}) {
    Rename(2, name);
    EXPECT_EQ(LastBox(),
              L"The name could not be a file name: it must not be empty, a device name such as "
              L"CON or LPT1, or hold \\ / : * ? \" < > |; nothing was changed")
        << ToUtf8(name);
    EXPECT_EQ(ReadBytes(DirectoryFile(img)), before) << ToUtf8(name);
    EXPECT_EQ(NameBytes(IMGArchive.Files[2]), "c.dff");
  }
  EXPECT_EQ(ErrorBoxes(), 15u);
  EXPECT_FALSE(Busy());
}

// Two entries the game reads as one name would hide one of them. The box is asked again with
// what was typed; an entry may still take its own name in other capitals.
TEST_P(RenameTest, AnotherEntrysNameIsRefusedAndAskedForAgain) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Bytes before = ReadBytes(DirectoryFile(img));
  Rename(1, L"C.DFF");  // then cancelled
  EXPECT_EQ(LastBox(),
            L"Another entry is already named 'c.dff' (the letters A to Z and a to z "
            L"count as the same); nothing was changed");
  EXPECT_EQ(sp.dialogs.messages().back().kind, MessageKind::Error);
  ASSERT_EQ(sp.dialogs.inputRequests().size(), 2u);
  EXPECT_EQ(sp.dialogs.inputRequests()[1].prompt, L"Enter new name for 'b.dff'...");
  EXPECT_EQ(sp.dialogs.inputRequests()[1].text, L"C.DFF");
  EXPECT_EQ(ReadBytes(DirectoryFile(img)), before);
  EXPECT_EQ(NameBytes(IMGArchive.Files[1]), "b.dff");
  EXPECT_FALSE(Busy());

  sp.dialogs.inputAnswers.push_back(L"c.dff");
  Rename(1, L"C2.DFF");  // the second answer
  EXPECT_EQ(ErrorBoxes(), 2u);
  EXPECT_EQ(NameBytes(IMGArchive.Files[1]), "C2.DFF");
  Rename(1, L"c2.dff");
  EXPECT_EQ(ErrorBoxes(), 2u);
  ExpectOnlyNameChanged(before, ReadBytes(DirectoryFile(img)), 1, Field("c2.dff"));
}

TEST_P(RenameTest, CancelOrAnyOtherSelectionThanOneRowChangesNothing) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  const Files before = Snapshot(tmp);
  for (auto rows : {std::vector<int>{}, std::vector<int>{0, 1}}) {
    sp.list.UserSelect(rows, 0);
    Run(&TfmMain::RenameFile);
  }
  EXPECT_TRUE(sp.dialogs.inputRequests().empty());
  Rename(2, std::nullopt);
  EXPECT_EQ(sp.dialogs.inputRequests().size(), 1u);
  EXPECT_EQ(Snapshot(tmp), before);
  EXPECT_TRUE(sp.dialogs.messages().empty());
}

// The focus rectangle, not the selection, names the entry; in name order it then moves.
TEST_P(RenameTest, TheFocusedRowsEntryIsRenamedAndTakesItsPlaceInNameOrder) {
  Options.SortType = kSortByName;
  const std::wstring img = BuildArchive(tmp, layout(), items);
  Open(img);
  sp.list.UserSelect({1}, 3);
  sp.dialogs.inputAnswers.push_back(L"zz.dff");
  Run(&TfmMain::RenameFile);
  EXPECT_EQ(sp.dialogs.inputRequests()[0].prompt, L"Enter new name for 'd.dff'...");
  EXPECT_EQ(NameBytes(IMGArchive.Files[3]), "zz.dff");
  EXPECT_EQ(sp.list.Row(4).substr(0, 9), L"3%zz.dff?");
}

TEST_P(RenameTest, AnyFailureLeavesOldOrNewAndMemoryAgrees) {
  const std::wstring img = BuildArchive(tmp, layout(), items);
  const Files before = Snapshot(tmp);
  Open(img);
  Rename(2, L"new.dff", true);
  const Files done = Snapshot(tmp);
  auto restore = [&] {
    PutBack(before);
    Open(img);
  };
  FailEachOperation(faulty.operations(), {kErrAccessDenied, kErrDiskFull}, restore, [&] {
    Rename(2, L"new.dff", true);
    EXPECT_FALSE(Busy());
    const Files now = Snapshot(tmp);
    EXPECT_TRUE(now == before || now == done);
    const std::string inMemory = NameBytes(IMGArchive.Files.at(2));
    const std::wstring row = sp.list.Row(2);
    Open(img);
    EXPECT_EQ(inMemory, NameBytes(IMGArchive.Files[2]));
    EXPECT_EQ(row, sp.list.Row(2));
  });
}

INSTANTIATE_TEST_SUITE_P(Layouts, RenameTest, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
