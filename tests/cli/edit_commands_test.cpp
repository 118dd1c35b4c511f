// vandrel-cli's delete, rename and rebuild on real archives of both layouts.
#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

class CliEdits : public CliTest, public ::testing::WithParamInterface<Layout> {
 protected:
  std::vector<Item> items = {{"infernus.dff", Pattern(3000, 1)},
                             {"infernus.txd", Pattern(2048, 2)},
                             {"cheetah.dff", Pattern(10, 3)},
                             {"INFERNUS.DFF", Pattern(5000, 4)}};
  std::wstring img = BuildArchive(tmp, GetParam(), items);
};

TEST_P(CliEdits, DeleteTheEntriesNamedAndKeepTheRestInOrder) {
  CliResult result = Cli({"delete", Arg(img), "INFERNUS.dff", "#2"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "File(s) deleted.\n");
  EXPECT_EQ(result.err, "");
  std::vector<Expected> expected = Entries(items);
  ExpectArchive(img, {expected[1]});
}

TEST_P(CliEdits, DeleteNothingUnlessEveryNameMatches) {
  const Bytes before = ReadBytes(img);
  EXPECT_TRUE(FailedWith(Cli({"delete", Arg(img), "#0", "*.col"}), "No entry matches '*.col'"));
  EXPECT_EQ(ReadBytes(img), before);
  ExpectArchive(img, Entries(items));
}

TEST_P(CliEdits, RenameOneEntry) {
  CliResult result = Cli({"rename", Arg(img), "cheetah.dff", "машина.dff"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "File renamed.\n");
  std::vector<Expected> expected = Entries(items);
  expected[2].name = "\xEC\xE0\xF8\xE8\xED\xE0.dff";
  ExpectArchive(img, expected);
  // Exactly 24 characters fill the field.
  EXPECT_EQ(Cli({"rename", Arg(img), "#2", "abcdefghijklmnopqrstuvwx"}).status, 0);
  expected[2].name = "abcdefghijklmnopqrstuvwx";
  ExpectArchive(img, expected);
}

TEST_P(CliEdits, RenameRefusesALongNameAnAmbiguousOneAndOneTaken) {
  const Bytes before = ReadBytes(img);
  EXPECT_TRUE(FailedWith(Cli({"rename", Arg(img), "#2", "abcdefghijklmnopqrstuvwxy"}),
                         "Names have a max length of 24"));
  // Refused once; the command line has no second answer to give.
  EXPECT_TRUE(FailedWith(Cli({"rename", Arg(img), "#2", "Infernus.TXD"}),
                         "Another entry is already named 'infernus.txd' (the letters A to Z and "
                         "a to z count as the same); nothing was changed"));
  EXPECT_TRUE(FailedWith(Cli({"rename", Arg(img), "infernus.dff", "x.dff"}),
                         "'infernus.dff' matches 2 entries:\n  #0 infernus.dff\n"
                         "  #3 INFERNUS.DFF\nName one of them by its index, such as #0."));
  EXPECT_EQ(ReadBytes(img), before);
  if (GetParam() == Layout::V1) {
    EXPECT_EQ(ReadBytes(tmp.Path("test.dir")), EncodeDirectory({{"infernus.dff", 0, 2},
                                                                {"infernus.txd", 2, 1},
                                                                {"cheetah.dff", 3, 1},
                                                                {"INFERNUS.DFF", 4, 3}}));
  }
}

TEST_P(CliEdits, RebuildDropsTheHolesAndSaysSo) {
  ASSERT_EQ(Cli({"delete", Arg(img), "#1"}).status, 0);
  CliResult before = Cli({"check", Arg(img)});
  EXPECT_NE(before.out.find("unused sectors: 1\n"), std::string::npos) << before.out;
  CliResult result = Cli({"rebuild", Arg(img)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            GetParam() == Layout::V1 ? "Archive rebuilt.\n" : "Archive rebuilt in 0 secs.\n");
  std::vector<Expected> expected = Entries(items);
  expected.erase(expected.begin() + 1);
  ExpectArchive(img, expected);
  CliResult after = Cli({"check", Arg(img), "--json"});
  EXPECT_NE(after.out.find(R"("unused_sectors":0,"rebuild_saves_bytes":0})"), std::string::npos)
      << after.out;
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliEdits, ::testing::Values(Layout::V1, Layout::V2), LayoutName);

class CliNew : public CliTest {};

TEST_F(CliNew, ANewVersion2ArchiveIsWhatRebuildingAnEmptyOneLeaves) {
  const std::wstring emptied = BuildArchive(tmp, Layout::V2, {{"a.dff", Pattern(100, 1)}});
  ASSERT_EQ(Cli({"delete", Arg(emptied), "#0"}).status, 0);
  ASSERT_EQ(Cli({"rebuild", Arg(emptied)}).status, 0);
  ASSERT_EQ(Cli({"new", Arg("new.img")}).status, 0);
  EXPECT_EQ(ReadBytes(tmp.Path("new.img")), ReadBytes(emptied));
}

}  // namespace
}  // namespace vandrel
