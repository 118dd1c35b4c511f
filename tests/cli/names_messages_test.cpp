// Names that cannot become entry names or files, and messages the user can act on, through
// vandrel-cli on real files of both layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class CliNames : public CliTest, public ::testing::WithParamInterface<Layout> {
 protected:
  std::vector<Item> items = {{"old.dff", Pattern(3000, 1)}};
  std::wstring img = BuildArchive(tmp, GetParam(), items);
};

// A name on Linux is any bytes. C0 AF is an overlong "/", and the program takes a backslash for
// a separator: behind "..", either once led outside the folder given.
TEST_P(CliNames, AFolderNameThatIsNoUtf8OrHoldsABackslashIsRefusedBeforeAnythingChanges) {
  Source("secret.txt", Pattern(10, 9));
  const Bytes before = ReadBytes(img);
  struct Case {
    const char* name;
    std::string shown;
  };
  const Case cases[] = {
      {"..\xC0\xAFsecret.txt",
       "..\xEF\xBF\xBD\xEF\xBF\xBDsecret.txt': the name is not valid UTF-8"},
      {"..\\secret.txt", "..\\secret.txt': a backslash in a name would read as a folder"}};
  for (const Case& c : cases) {
    fs::remove_all(tmp.root() / "mods");
    fs::create_directory(tmp.root() / "mods");
    Source("mods/a.dff", Pattern(10, 2));
    std::ofstream(tmp.root() / "mods" / c.name) << "x";
    EXPECT_TRUE(FailedWith(Cli({"add", Arg(img), Arg("mods")}),
                           "'" + Arg("mods") + "/" + c.shown + "; nothing was added."))
        << c.name;
    EXPECT_EQ(ReadBytes(img), before) << c.name;
  }
  // An argument likewise.
  const std::string folder = tmp.root().string() + "/";
  EXPECT_TRUE(FailedWith(Cli({"add", Arg(img), folder + "a\xC0\xAF"}),
                         "'" + folder + "a\xEF\xBF\xBD\xEF\xBF\xBD' is not valid UTF-8."));
  ExpectArchive(img, Entries(items));
}

// Cut to 24 bytes or stored with "?", two files would become entries of one name.
TEST_P(CliNames, AddRefusesNamesThatCannotBeEntryNamesAndAddsTheRest) {
  const std::vector<std::wstring> sources = {
      Source("first.dff", Pattern(100, 2)),
      Source("a_name_longer_than_24_chars.dff", Pattern(10, 3)), Source("日本.txd", Pattern(10, 4)),
      Source("what?.dff", Pattern(10, 5)), Source("last.dff", Pattern(5000, 6))};
  const std::string refused =
      "Not added (3 of 5 files):\n" + Quoted(Arg(sources[1])) +
      ": its name is longer than 24 characters\n" + Quoted(Arg(sources[2])) +
      ": its name holds characters that archive names cannot hold\n" + Quoted(Arg(sources[3])) +
      ": its name could not be a file name on Windows (a device name such as CON, or one "
      "holding * ? \" < > | or control characters)";
  std::vector<std::string> arguments = {"add", Arg(img)};
  for (const auto& source : sources) arguments.push_back(Arg(source));
  EXPECT_TRUE(FailedWith(Cli(arguments), refused));
  std::vector<Item> expected = items;
  expected.push_back({"first.dff", Pattern(100, 2)});
  expected.push_back({"last.dff", Pattern(5000, 6)});
  ExpectArchive(img, Entries(expected));

  // The window's Add, which the command line runs, shows the same and ends with the count.
  Open(img);
  sp.dialogs.openFileAnswers.push_back(sources);
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(ToUtf8(LastBox()), refused);
  EXPECT_EQ(sp.statusBar.Text(0), L"2 file(s) added, 3 refused.");
  EXPECT_FALSE(Busy());
  EXPECT_EQ(IMGArchive.FileCount, 5);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliNames, ::testing::Values(Layout::V1, Layout::V2), LayoutName);

class CliMessages : public CliTest, public ::testing::WithParamInterface<Layout> {};

// Codes the program names keep their texts; the others get the system's words and number.
TEST_P(CliMessages, FailuresWithoutATextOfTheirOwnGetTheSystemsWords) {
  EXPECT_TRUE(FailedWith(Cli({"list", "/proc/self/mem"}), "I/O error 5: Input/output error."));
  const std::wstring img =
      BuildArchive(tmp, GetParam(), {{"a.dff", Pattern(10, 1)}, {"b.dff", Pattern(10, 2)}});
  // Entry 1 at offset -1.
  if (GetParam() == Layout::V1) {
    WriteBytes(tmp.Path("test.dir"), EncodeDirectory({{"a.dff", 0, 1}, {"b.dff", -1, 1}}));
  } else {
    Bytes bytes = ReadBytes(img);
    std::fill_n(bytes.begin() + 8 + 32, 4, 0xFF);
    WriteBytes(img, bytes);
  }
  fs::create_directory(tmp.root() / "out");
  EXPECT_TRUE(FailedWith(Cli({"extract", Arg(img), "-o", Arg("out"), "b.dff"}),
                         "I/O error 22: Invalid argument."));
  EXPECT_FALSE(fs::exists(tmp.root() / "out" / "b.dff"));
}

// A damaged entry claims 2^31 - 1 sectors; a rebuild could not read it.
TEST_P(CliMessages, CheckNeverGivesANegativeOrAbsurdFigure) {
  const bool v2 = GetParam() == Layout::V2;
  const int32_t first = v2 ? 2 : 0;
  const std::vector<EntryRecord> records = {{"a.dff", first, 1},
                                            {"huge.dff", first + 1, 0x7FFFFFFF}};
  const Bytes data(static_cast<size_t>(first + 3) * 2048);
  const std::wstring img =
      v2 ? MakeV2(tmp, "test.img", records, data) : MakeV1(tmp, "test", records, data);
  CliResult result = Cli({"check", Arg(img)});
  EXPECT_EQ(result.status, cli::kExitProblems) << result.err;
  // Without the damaged entry a rebuild keeps a's sector (and version 2's head of two).
  EXPECT_EQ(result.out,
            std::string("layout ") + (v2 ? "2" : "1") +
                ", 2 entries\npast-end: #1 huge.dff\n1 problem\nunused sectors: 0\n"
                "a rebuild would save 4096 bytes, once the entries past the end or with negative "
                "numbers are deleted\n");
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliMessages, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
