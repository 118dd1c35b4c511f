// vandrel-cli import on archives of both layouts: what it replaces, adds and refuses, and that
// a failure or a death at any file operation keeps every entry and each file imported before.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class CliImport : public CliTest, public ::testing::WithParamInterface<Layout> {
 protected:
  bool V1() const { return GetParam() == Layout::V1; }
};

TEST_P(CliImport, ReplacesTheFirstEntryOfEachNameAndAddsTheRest) {
  std::vector<Item> items = {{"infernus.dff", Pattern(3000, 1)},
                             {"infernus.txd", Pattern(2048, 2)},
                             {"cheetah.dff", Pattern(10, 3)},
                             {"INFERNUS.DFF", Pattern(5000, 4)}};
  const std::wstring img = BuildArchive(tmp, GetParam(), items);
  // The folder's files in name order, then a second file of the name the folder adds.
  for (const char* folder : {"mod", "again"}) fs::create_directory(ToUtf8(tmp.Path(folder)));
  const Bytes dff = Pattern(4000, 5), col = Pattern(100, 6), txd = Pattern(2049, 7);
  const Bytes cheetah = Pattern(20, 8), col2 = Pattern(300, 9);
  Source("mod/Infernus.dff", dff), Source("mod/infernus.col", col);
  Source("mod/infernus.txd", txd), Source("mod/cheetah.DFF", cheetah);
  Source("again/infernus.col", col2);

  CliResult result = Cli({"import", Arg(img), Arg("mod"), Arg("again/infernus.col")});
  const std::string tooBig = "File is too big to replace 'infernus.txd'";
  EXPECT_EQ(result.out,
            "replaced infernus.dff (the first of 2 entries of that name; left "
            "alone: #3)\nreplaced cheetah.dff\nadded infernus.col\n" +
                (V1() ? "refused infernus.txd: " + tooBig : "replaced infernus.txd") +
                "\nreplaced infernus.col\n");
  EXPECT_EQ(result.status, V1() ? 1 : 0);
  EXPECT_EQ(result.err,
            V1() ? tooBig + "\nNot imported (1 of 5 files): infernus.txd\n" : std::string());

  std::vector<Expected> expected = Entries(items);
  expected[0].area = Padded(dff, 2);
  if (!V1()) expected[1].area = Padded(txd);
  expected[2].area = Padded(cheetah);
  expected.push_back({"infernus.col", Padded(col2)});
  ExpectArchive(img, expected);

  CliResult json = Cli({"import", Arg(img), Arg("again"), "--json"});
  EXPECT_EQ(json.out, R"({"replaced":1,"added":0,"refused":0,"files":[{"file":")" + Arg("again") +
                          R"(/infernus.col","result":"replaced","name":)" +
                          R"("infernus.col","entry":4}]})" + "\n");
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliImport, ::testing::Values(Layout::V1, Layout::V2), LayoutName);

// The fault sweep's archive: three entries with data, then empty ones up to a full version-2
// directory, so that each file added to version 2 must move an entry out of the directory's way.
// The import replaces b.txd in place, adds new.dff, gives a.dff more than its area (relocated in
// version 2, refused in version 1), adds empty.ifp and replaces c.col in place: b.txd and c.col
// go through one record.
class ImportSweep : public CliImport {
 protected:
  static constexpr size_t kFull = 63;

  void SetUp() override {
    items = {{"a.dff", Pattern(2048, 1)}, {"b.txd", Pattern(3000, 2)}, {"c.col", Pattern(100, 3)}};
    for (size_t i = 3; i < kFull; ++i) items.push_back({Numbered("z", int(i)), {}});
    img = BuildArchive(tmp, GetParam(), items);
    fs::create_directory(ToUtf8(tmp.Path("src")));
    replacements = {{0, Pattern(3 * 2048 + 1, 6)}, {1, Pattern(3000, 5)}, {2, Pattern(2000, 7)}};
    added = {{"new.dff", Pattern(33 * 2048 + 5, 4)}, {"empty.ifp", {}}};
    arguments = {"import",
                 Arg(img),
                 Arg(Source("src/b.txd", replacements[1])),
                 Arg(Source("src/new.dff", added[0].data)),
                 Arg(Source("src/A.DFF", replacements[0])),
                 Arg(Source("src/empty.ifp", added[1].data)),
                 Arg(Source("src/c.col", replacements[2]))};
    before = Snapshot(tmp);
  }

  void LayOut(const Files& files) {
    for (const auto& [name, bytes] : Snapshot(tmp)) fs::remove(tmp.root() / name);
    for (const auto& [name, bytes] : files) WriteBytes(tmp.Path(name), bytes);
  }

  // Every old entry holds its old bytes or, for those replaced, the file's; the files added
  // come behind them in order, each whole; no two entries share a sector.
  void ExpectNothingLost() {
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
    const Bytes bytes = ReadBytes(img);
    const auto& files = IMGArchive.Files;
    ASSERT_GE(files.size(), kFull);
    ASSERT_LE(files.size(), kFull + added.size());
    for (size_t i = 0; i < files.size(); ++i) {
      const Bytes area =
          Slice(bytes, int64_t{files[i].Offset} * 2048, int64_t{files[i].Size} * 2048);
      const Item& item = i < kFull ? items[i] : added[i - kFull];
      EXPECT_EQ(NameBytes(files[i]), item.name) << "entry " << i;
      const auto replacement = replacements.find(i);
      const bool replaced = replacement != replacements.end() && (i != 0 || !V1());
      // In place the area keeps its size; relocated it fits the file.
      EXPECT_TRUE(
          area == Padded(item.data) ||
          (replaced && area == Padded(replacement->second, i == 0 ? -1 : int(files[i].Size))))
          << "entry " << i;
    }
    ExpectNoOverlap();
    for (const auto& [name, bytes] : Snapshot(tmp))
      EXPECT_TRUE(name == "test.img" || name == "test.dir") << name << " left";
  }

  std::vector<Item> items, added;
  std::map<size_t, Bytes> replacements;  // by the entry they replace
  std::wstring img;
  std::vector<std::string> arguments;
  Files before;
};

TEST_P(ImportSweep, EveryFaultAndEveryDeathKeepsEachEntryAndEachFileImported) {
  const int start = faulty.operations();
  ASSERT_EQ(CliOn(faulty, arguments).status, V1() ? 1 : 0);
  const int operations = faulty.operations() - start;
  ASSERT_GT(operations, 0);
  for (int k = 1; k <= operations; ++k) {
    for (int code : {kErrAccessDenied, kErrDiskFull, kErrReadBeyondEnd}) {
      SCOPED_TRACE("operation " + std::to_string(k) + " failing with " +
                   ToUtf8(InOutErrorText(code)));
      LayOut(before);
      faulty.FailAt(faulty.operations() + k, code);
      CliOn(faulty, arguments);
      ExpectNothingLost();
    }
    SCOPED_TRACE("dying after operation " + std::to_string(k));
    LayOut(before);
    Files atDeath;
    faulty.DieAfter(faulty.operations() + k, [&] { atDeath = Snapshot(tmp); });
    CliOn(faulty, arguments);
    ASSERT_FALSE(atDeath.empty());
    LayOut(atDeath);
    ExpectNothingLost();
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ImportSweep, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
