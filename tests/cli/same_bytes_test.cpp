// The command line leaves on disk exactly the bytes the window's command leaves, on two copies
// of one archive: the window through the scripted platform, the command line on the console.
#include <gtest/gtest.h>

#include "app/options.h"
#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

class SameBytes : public CliTest, public ::testing::WithParamInterface<Layout> {
 protected:
  // 62 entries of version 2 fill all but one slot of the directory's sector, so adding three
  // files moves entries out of its way.
  std::vector<Item> Items() {
    std::vector<Item> items;
    for (int i = 0; i < 62; ++i) items.push_back({Numbered("entry", i), Pattern(100 + 700 * i, i)});
    return items;
  }
  std::vector<Item> items = Items();
  TempDir windowDir, cliDir;
  std::wstring windowImg = BuildArchive(windowDir, GetParam(), items);
  std::wstring cliImg = BuildArchive(cliDir, GetParam(), items);

  void ExpectSameFiles() {
    EXPECT_EQ(ReadBytes(cliImg), ReadBytes(windowImg));
    if (GetParam() == Layout::V1) {
      EXPECT_EQ(ReadBytes(DirPathFor(cliImg)), ReadBytes(DirPathFor(windowImg)));
    }
  }
};

TEST_P(SameBytes, Add) {
  std::vector<std::wstring> sources = {Source("new.dff", Pattern(5000, 90)),
                                       Source("empty.txd", {}),
                                       Source("a_name_of_24_chars_x.col", Pattern(1, 91))};
  Open(windowImg);
  sp.dialogs.openFileAnswers.push_back(sources);
  Run(&TfmMain::AddFiles);
  ASSERT_TRUE(sp.dialogs.messages().empty()) << ToUtf8(LastBox());

  std::vector<std::string> arguments = {"add", Arg(cliImg)};
  for (const auto& source : sources) arguments.push_back(Arg(source));
  CliResult result = Cli(arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  ExpectSameFiles();
  EXPECT_NE(ReadBytes(cliImg), Bytes()) << "nothing was compared";
}

TEST_P(SameBytes, ImportIsTheWindowsReplaceAndAddInTheSameOrder) {
  // In place; added, moving entries in version 2; too big for its area (relocated in version 2,
  // refused in version 1); added; then in place again.
  const std::vector<std::pair<int, std::wstring>> steps = {
      {3, Source("ENTRY3", Pattern(50, 90))},
      {-1, Source("new.dff", Pattern(5000, 91))},
      {5, Source("entry5", Pattern(9000, 92))},
      {-1, Source("empty.txd", {})},
      {7, Source("Entry7", Pattern(2048, 93))}};
  Open(windowImg);
  for (const auto& [entry, file] : steps) {
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{file});
    if (entry < 0) {
      Run(&TfmMain::AddFiles);
    } else {
      sp.list.UserSelect({entry}, entry);
      Run(&TfmMain::ReplaceFile);
    }
  }
  ASSERT_EQ(ErrorBoxes(), GetParam() == Layout::V1 ? 1u : 0u) << ToUtf8(LastBox());

  std::vector<std::string> arguments = {"import", Arg(cliImg)};
  for (const auto& step : steps) arguments.push_back(Arg(step.second));
  CliResult result = Cli(arguments);
  EXPECT_EQ(result.status, GetParam() == Layout::V1 ? 1 : 0) << result.err;
  ExpectSameFiles();
}

TEST_P(SameBytes, DeleteWithTheListInNameOrder) {
  // The window's user sorted by name and picked rows; the command line names the same entries.
  Options.SortType = kSortByName;
  Open(windowImg);
  std::vector<int> rows;
  for (int row = 0; row < sp.list.Count(); ++row)
    if (fm.GetFileIndex(row) % 5 == 3 || fm.GetFileIndex(row) == 0) rows.push_back(row);
  sp.list.UserSelect(rows, rows.front());
  sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
  Run(&TfmMain::DeleteFiles);
  ASSERT_EQ(sp.dialogs.messages().size(), 1u) << ToUtf8(LastBox());  // the question alone

  std::vector<std::string> arguments = {"delete", Arg(cliImg), "entry*3", "entry*8", "#0"};
  CliResult result = Cli(arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  ExpectSameFiles();
}

TEST_P(SameBytes, RebuildAfterDeleting) {
  for (const std::wstring& img : {windowImg, cliImg})
    ASSERT_EQ(Cli({"delete", Arg(img), "entry1*", "entry5"}).status, 0);
  Open(windowImg);
  sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
  Run(&TfmMain::RebuildArchive);
  ASSERT_EQ(sp.dialogs.messages().size(), 1u) << ToUtf8(LastBox());  // the question alone

  CliResult result = Cli({"rebuild", Arg(cliImg)});
  EXPECT_EQ(result.status, 0) << result.err;
  ExpectSameFiles();
}

INSTANTIATE_TEST_SUITE_P(Layouts, SameBytes, ::testing::Values(Layout::V1, Layout::V2), LayoutName);

}  // namespace
}  // namespace vandrel
