// vandrel-cli's commands on real archives of both layouts: what they print, what they leave on
// disk, and their exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using Json = nlohmann::json;

class CliCommands : public CliTest, public ::testing::WithParamInterface<Layout> {
 protected:
  // Three entries, two of one name in different case, one with a Cyrillic name.
  std::vector<Item> items = {{"b.dff", Pattern(3000, 1)},
                             {"\xEC\xE0\xF8\xE8\xED\xE0.txd", Pattern(2048, 2)},
                             {"B.DFF", Pattern(10, 3)}};
  std::wstring img = BuildArchive(tmp, GetParam(), items);
  std::string layout = GetParam() == Layout::V1 ? "1" : "2";
  int number = GetParam() == Layout::V1 ? 1 : 2;
  int32_t first = GetParam() == Layout::V1 ? 0 : 1;
};

TEST_P(CliCommands, ListGivesLayoutCountAndEveryEntryInDirectoryOrder) {
  CliResult result = Cli({"list", Arg(img)});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const std::string v1 =
      "layout 1, 3 entries\n"
      "  index  name                          offset        size         bytes\n"
      "      0  b.dff                              0           2          4096\n"
      "      1  машина.txd                         2           1          2048\n"
      "      2  B.DFF                              3           1          2048\n";
  const std::string v2 =
      "layout 2, 3 entries\n"
      "  index  name                          offset        size         bytes\n"
      "      0  b.dff                              1           2          4096\n"
      "      1  машина.txd                         3           1          2048\n"
      "      2  B.DFF                              4           1          2048\n";
  EXPECT_EQ(result.out, GetParam() == Layout::V1 ? v1 : v2);
}

TEST_P(CliCommands, ListAsJsonInEitherOrder) {
  CliResult result = Cli({"list", Arg(img), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  Json json = Json::parse(result.out);
  const Json entries = {{{"index", 0}, {"name", "b.dff"}, {"offset", first}, {"size", 2}},
                        {{"index", 1}, {"name", "машина.txd"}, {"offset", first + 2}, {"size", 1}},
                        {{"index", 2}, {"name", "B.DFF"}, {"offset", first + 3}, {"size", 1}}};
  EXPECT_EQ(json, (Json{{"layout", number}, {"count", 3}, {"entries", entries}}));
  // In name order, like the window's: letters without case, ties by index.
  result = Cli({"list", Arg(img), "--sort", "name", "--json"});
  std::vector<int> order;
  json = Json::parse(result.out);
  for (const auto& entry : json["entries"]) order.push_back(entry["index"]);
  EXPECT_EQ(order, (std::vector<int>{0, 2, 1}));
}

TEST_P(CliCommands, ExtractWritesEachEntryAsTheWindowDoes) {
  fs::create_directory(tmp.root() / "all");
  CliResult result = Cli({"extract", Arg(img), "-o", Arg("all")});
  EXPECT_EQ(result.status, 0) << result.err;
  // b.dff and B.DFF are one file on Windows: the later one stays there, and the count says so
  // on a disk that tells them apart as well.
  EXPECT_EQ(result.out,
            "File(s) extracted; 1 overwritten by a later entry of the same file name.\n");
  EXPECT_EQ(ReadBytes(tmp.Path("all/b.dff")), Padded(items[0].data));
  EXPECT_EQ(ReadBytes(tmp.Path("all/машина.txd")), Padded(items[1].data));
  EXPECT_EQ(ReadBytes(tmp.Path("all/B.DFF")), Padded(items[2].data));

  fs::create_directory(tmp.root() / "some");
  result = Cli({"extract", Arg(img), "#2", "*.TXD", "--output", Arg("some")});
  EXPECT_EQ(result.out, "File(s) extracted.\n");
  std::vector<std::string> written;
  for (const auto& file : fs::directory_iterator(tmp.root() / "some"))
    written.push_back(file.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"B.DFF", "машина.txd"}));
}

TEST_P(CliCommands, AddTakesFilesInTheOrderGivenAndFoldersInNameOrder) {
  fs::create_directory(tmp.root() / "mods");
  Source("mods/c.txd", Pattern(5, 4));
  Source("mods/a.dff", Pattern(5000, 5));
  fs::create_directory(tmp.root() / "mods/sub");  // not entered
  const std::wstring single = Source("z.col", Pattern(100, 6));
  CliResult result = Cli({"add", Arg(img), Arg(single), Arg("mods")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "File(s) added.\n");
  std::vector<Expected> expected = Entries(items);
  expected.push_back({"z.col", Padded(Pattern(100, 6))});
  expected.push_back({"a.dff", Padded(Pattern(5000, 5))});
  expected.push_back({"c.txd", Padded(Pattern(5, 4))});
  ExpectArchive(img, expected);
}

TEST_P(CliCommands, ReplaceOneEntryNamedByIndex) {
  const std::wstring data = Source("new.dff", Pattern(1000, 7));
  CliResult result = Cli({"replace", Arg(img), "#2", Arg(data)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, GetParam() == Layout::V1 ? "Файл заменён\n" : "File replaced.\n");
  std::vector<Expected> expected = Entries(items);
  expected[2].area = Padded(Pattern(1000, 7));
  ExpectArchive(img, expected);
}

// Two entries of one name to the game are a problem of their own; otherwise the data are sound.
TEST_P(CliCommands, CheckOfAnArchiveWithOneNameTwiceAndOfANewOne) {
  CliResult result = Cli({"check", Arg(img)});
  EXPECT_EQ(result.status, cli::kExitProblems) << result.err;
  // Version 2's data begin right behind the directory; a rebuild leaves it a sector of room.
  EXPECT_EQ(result.out, "layout " + layout +
                            ", 3 entries\nduplicate-name: #0 b.dff, #2 B.DFF\n1 problem\n"
                            "unused sectors: 0\na rebuild would " +
                            (GetParam() == Layout::V1 ? "save 0" : "add 2048") + " bytes\n");
  result = Cli({"check", Arg(img), "--json"});
  EXPECT_EQ(Json::parse(result.out)["problems"],
            Json::parse(R"([{"kind": "duplicate-name", "entries": [0, 2]}])"));

  result = Cli({"new", Arg("fresh.img"), "--layout", layout});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  result = Cli({"check", Arg("fresh.img"), "--json"});
  EXPECT_EQ(result.status, 0) << result.err;
  // A new version-1 .img holds the one sector it needs to open, which a rebuild keeps.
  const int hole = GetParam() == Layout::V1 ? 1 : 0;
  EXPECT_EQ(Json::parse(result.out), (Json{{"layout", number},
                                           {"count", 0},
                                           {"problems", Json::array()},
                                           {"unused_sectors", hole},
                                           {"rebuild_saves_bytes", 0}}));
}

// Temporary files that a rebuild or a directory swap cut short left are named, whichever
// archive of the folder they were for; other files are not.
TEST_P(CliCommands, CheckNamesTheTemporaryFilesLeftInTheFolder) {
  for (const char* name : {"TMPI4711", "TMPD0", "TMPI", "TMPI04", "TMPD12345", "notes.txt"})
    WriteBytes(tmp.Path(name), Pattern(10, 9));
  CliResult result = Cli({"check", Arg(img)});
  EXPECT_EQ(result.status, cli::kExitProblems) << result.err;
  EXPECT_TRUE(result.out.ends_with(" bytes\nleft over by a change cut short: " + Arg("TMPD0") +
                                   "\nleft over by a change cut short: " + Arg("TMPI4711") + "\n"))
      << result.out;
  result = Cli({"check", Arg(img), "--json"});
  EXPECT_EQ(Json::parse(result.out).at("leftovers"), Json({Arg("TMPD0"), Arg("TMPI4711")}));
}

TEST_P(CliCommands, NamesThatMatchNothingOrTooMuchChangeNothing) {
  const Bytes before = ReadBytes(img);
  fs::create_directory(tmp.root() / "out");
  const std::wstring data = Source("new.dff", Pattern(10, 8));
  EXPECT_TRUE(FailedWith(Cli({"extract", Arg(img), "b.dff", "x*", "-o", Arg("out")}),
                         "No entry matches 'x*'"));
  EXPECT_TRUE(fs::is_empty(tmp.root() / "out"));
  EXPECT_TRUE(FailedWith(Cli({"replace", Arg(img), "#3", Arg(data)}), "No entry matches '#3'"));
  EXPECT_TRUE(FailedWith(Cli({"replace", Arg(img), "b.dff", Arg(data)}),
                         "'b.dff' matches 2 entries:\n  #0 b.dff\n  #2 B.DFF\n"
                         "Name one of them by its index, such as #0."));
  EXPECT_EQ(ReadBytes(img), before);
}

TEST_P(CliCommands, MissingFilesAndFoldersAreRefusedBeforeAnythingChanges) {
  const Bytes before = ReadBytes(img);
  const std::wstring data = Source("a.dff", Pattern(10, 9));
  EXPECT_TRUE(FailedWith(Cli({"add", Arg(img), Arg(data), Arg("gone.dff")}),
                         Quoted(Arg("gone.dff")) + ": File not found."));
  EXPECT_TRUE(FailedWith(Cli({"replace", Arg(img), "#0", Arg("gone.dff")}),
                         Quoted(Arg("gone.dff")) + ": File not found."));
  fs::create_directory(tmp.root() / "empty");
  EXPECT_TRUE(FailedWith(Cli({"add", Arg(img), Arg("empty")}), "No files to add."));
  EXPECT_TRUE(FailedWith(Cli({"extract", Arg(img), "-o", Arg("nowhere")}),
                         Quoted(Arg("nowhere")) + " is not a folder."));
  EXPECT_EQ(ReadBytes(img), before);
}

TEST_P(CliCommands, AnUnwritableOutputFolderIsTheWindowsMessageAndStatusOne) {
  // Root may write anywhere, so the refusal comes from the file layer, as the system gives it.
  fs::create_directory(tmp.root() / "locked");
  scripted::FaultyFileSystem locked(*files);
  locked.RefuseCreatingIn(tmp.Path("locked"));
  EXPECT_TRUE(
      FailedWith(CliOn(locked, {"extract", Arg(img), "-o", Arg("locked")}), "File access denied."));
}

TEST_P(CliCommands, NewNeverOverwrites) {
  const Bytes before = ReadBytes(img);
  EXPECT_TRUE(FailedWith(Cli({"new", Arg(img)}), Quoted(Arg(img)) + " already exists."));
  EXPECT_TRUE(
      FailedWith(Cli({"new", Arg(img), "--layout", "1"}), Quoted(Arg(img)) + " already exists."));
  EXPECT_EQ(ReadBytes(img), before);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliCommands, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

class CliFailures : public CliTest {};

TEST_F(CliFailures, ArchivesThatDoNotOpenGiveTheWindowsMessage) {
  EXPECT_TRUE(FailedWith(Cli({"list", Arg("gone.img")}), "File not found."));
  const std::wstring v1 = BuildArchive(tmp, Layout::V1, {{"a", Pattern(10, 1)}});
  fs::remove(ToUtf8(tmp.Path("test.dir")));
  for (const char* command : {"list", "check", "rebuild"})
    EXPECT_TRUE(FailedWith(Cli({command, Arg(v1)}),
                           "Unable to find DIR file!\n\n[" + Arg("test.dir") + "]"));

  // A damaged count: more entries than the file holds, or fewer than none.
  Bytes header = {'V', 'E', 'R', '2', 0xE8, 0x03, 0, 0};
  header.resize(4096);
  WriteBytes(tmp.Path("count.img"), header);
  EXPECT_TRUE(FailedWith(Cli({"list", Arg("count.img")}), "Read beyond end of file."));
  header[7] = 0xFF;
  WriteBytes(tmp.Path("count.img"), header);
  EXPECT_TRUE(FailedWith(Cli({"check", Arg("count.img"), "--json"}), "Range check error."));
}

TEST_F(CliFailures, AnErrorBoxAfterWhichTheCommandReturnsIsAFailureToo) {
  // The window tells a version-1 entry too small for the file in a box and carries on.
  const std::wstring v1 = BuildArchive(tmp, Layout::V1, {{"a.dff", Pattern(10, 1)}});
  const Bytes before = ReadBytes(v1);
  const std::wstring big = Source("big.dff", Pattern(3000, 2));
  EXPECT_TRUE(FailedWith(Cli({"replace", Arg(v1), "a.dff", Arg(big)}),
                         "File is too big to replace 'a.dff'"));
  EXPECT_EQ(ReadBytes(v1), before);
}

TEST_F(CliFailures, BadUsageIsStatusTwoWithTheReason) {
  const std::wstring v2 = BuildArchive(tmp, Layout::V2, {{"a", Pattern(10, 1)}});
  for (std::vector<std::string> arguments : {std::vector<std::string>{},
                                             {"unpack", Arg(v2)},
                                             {"list"},
                                             {"extract", Arg(v2)},
                                             {"list", Arg(v2), "--sort", "size"},
                                             {"new", Arg("n.img"), "--layout", "3"},
                                             {"rename", Arg(v2), "a"},
                                             {"delete", Arg(v2)},
                                             {"check", Arg(v2), "--verbose"}}) {
    CliResult result = Cli(arguments);
    EXPECT_EQ(result.status, cli::kExitUsage) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
  }
  EXPECT_FALSE(fs::exists(tmp.root() / "n.img"));
}

TEST_F(CliFailures, HelpForTheWholeAndForEachCommand) {
  CliResult result = Cli({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("3 check found problems"), std::string::npos) << result.out;
  for (const char* command :
       {"list", "extract", "add", "replace", "rename", "delete", "rebuild", "new", "check"}) {
    EXPECT_NE(result.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    CliResult own = Cli({command, "--help"});
    EXPECT_EQ(own.status, 0);
    EXPECT_NE(own.out.find("ARCHIVE"), std::string::npos) << command;
  }
}

TEST_F(CliFailures, ThirdPartySamplesRunPastTheirEnds) {
  CliResult v1 = Cli({"check", Arg(FixturePath("v1.img")), "--json"});
  EXPECT_EQ(v1.status, cli::kExitProblems) << v1.err;
  EXPECT_EQ(Json::parse(v1.out), Json::parse(R"({"layout": 1, "count": 3, "problems": [
      {"kind": "past-end", "entries": [1]}, {"kind": "past-end", "entries": [2]}],
      "unused_sectors": 0, "rebuild_saves_bytes": 2048})"));

  // Here only the last entry runs past the end; a rebuild would fail on it, and without it would
  // give the directory a sector of room more than the archive has.
  CliResult v2 = Cli({"check", Arg(FixturePath("v2.img"))});
  EXPECT_EQ(v2.status, cli::kExitProblems) << v2.err;
  EXPECT_EQ(v2.out,
            "layout 2, 3 entries\npast-end: #2 " + NameBytes(IMGArchive.Files[2]) +
                "\n1 problem\nunused sectors: 0\na rebuild would add 2048 bytes, once the entries "
                "past the end or with negative numbers are deleted\n");
  EXPECT_EQ(Json::parse(Cli({"check", Arg(FixturePath("v2.img")), "--json"}).out)
                .value("rebuild_costs_bytes", 0),
            2048);
}

TEST_F(CliFailures, ProgressIsALineOnATerminalAndNothingElsewhere) {
  std::vector<Item> many;
  for (int i = 0; i < 8; ++i) many.push_back({Numbered("e", i), Pattern(100, i)});
  const std::wstring v2 = BuildArchive(tmp, Layout::V2, many);
  fs::create_directory(tmp.root() / "out");
  CliResult quiet = Cli({"extract", Arg(v2), "-o", Arg("out")});
  EXPECT_EQ(quiet.err, "");
  CliResult shown = Cli({"extract", Arg(v2), "-o", Arg("out")}, true);
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.err.find("\rИзвлечение [###" + std::string(27, '.') + "] 1/8"), std::string::npos)
      << shown.err;
  EXPECT_NE(shown.err.find("\rИзвлечение [##############################] 8/8"), std::string::npos);
  // The line is blanked before the result appears.
  EXPECT_EQ(shown.err.substr(shown.err.size() - 1), "\r");
  EXPECT_EQ(shown.out, "File(s) extracted.\n");
}

}  // namespace
}  // namespace vandrel
